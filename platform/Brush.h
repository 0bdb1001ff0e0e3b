// A solid brush: fill of ellipses.
#pragma once

#include "platform/Types.h"

namespace platform {

class CBrush {
public:
    CBrush() = default;
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL DeleteObject();

    bool IsCreated() const { return m_bCreated; }
    COLORREF GetColor() const { return m_crColor; }

    // The brush a device context holds before any other is selected: white.
    static CBrush* Stock();

private:
    COLORREF m_crColor = 0;
    bool m_bCreated = false;
};

}  // namespace platform

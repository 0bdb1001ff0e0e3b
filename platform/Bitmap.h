// A picture loaded from the resources by id or name.
#pragma once

// A picture holds its pixels by value: CBitmap objects live in the dialog's
// members and on the stack of its paint handler.
#include <QImage>

#include "platform/Types.h"

namespace platform {

class CBitmap {
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(const char* lpszResourceName);
    BOOL DeleteObject();

    bool IsCreated() const { return !m_image.isNull(); }
    int GetWidth() const { return m_image.width(); }
    int GetHeight() const { return m_image.height(); }
    QImage& GetImage() { return m_image; }
    const QImage& GetImage() const { return m_image; }

    // The 1 x 1 picture a memory device context holds before any other.
    static CBitmap* Stock();

private:
    BOOL Load(const char* path);
    QImage m_image;  // always Format_RGB32
};

}  // namespace platform

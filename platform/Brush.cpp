#include "platform/Brush.h"

namespace platform {

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    m_crColor = crColor;
    m_bCreated = true;
    return TRUE;
}

BOOL CBrush::DeleteObject() {
    if (!m_bCreated) return FALSE;
    m_bCreated = false;
    return TRUE;
}

CBrush* CBrush::Stock() {
    static CBrush stock;
    if (!stock.IsCreated()) stock.CreateSolidBrush(RGB(255, 255, 255));
    return &stock;
}

}  // namespace platform

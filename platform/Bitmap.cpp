#include "platform/Bitmap.h"

#include "platform/ResourceLookup.h"

namespace platform {

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    const BitmapResource* b = FindBitmap(nIDResource);
    return b != nullptr ? Load(b->path) : FALSE;
}

BOOL CBitmap::LoadBitmap(const char* lpszResourceName) {
    const BitmapResource* b = lpszResourceName != nullptr ? FindBitmap(lpszResourceName) : nullptr;
    return b != nullptr ? Load(b->path) : FALSE;
}

BOOL CBitmap::Load(const char* path) {
    QImage image(QString::fromUtf8(path));
    if (image.isNull()) return FALSE;
    m_image = image.convertToFormat(QImage::Format_RGB32);
    return TRUE;
}

BOOL CBitmap::DeleteObject() {
    if (m_image.isNull()) return FALSE;
    m_image = QImage();
    return TRUE;
}

CBitmap* CBitmap::Stock() {
    static CBitmap stock;
    if (stock.m_image.isNull()) {
        stock.m_image = QImage(1, 1, QImage::Format_RGB32);
        stock.m_image.fill(Qt::black);
    }
    return &stock;
}

}  // namespace platform

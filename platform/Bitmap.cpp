#include "platform/Bitmap.h"

#include <QHash>

#include "platform/ResourceLookup.h"

namespace platform {

BOOL CBitmap::LoadBitmap(UINT nIDResource) {
    const BitmapResource* b = FindBitmap(nIDResource);
    return b != nullptr ? Load(*b) : FALSE;
}

BOOL CBitmap::LoadBitmap(const char* lpszResourceName) {
    const BitmapResource* b = lpszResourceName != nullptr ? FindBitmap(lpszResourceName) : nullptr;
    return b != nullptr ? Load(*b) : FALSE;
}

namespace {

// A resource picture is decoded once and then shared: it never changes, and a
// picture drawn into gets its own copy of the pixels first. Null when the
// path names no picture.
QImage Decoded(const char* path, qreal devicePixelRatio) {
    static QHash<QString, QImage> decoded;
    const QString key = QString::fromUtf8(path);
    auto it = decoded.constFind(key);
    if (it == decoded.cend()) {
        QImage image = QImage(key).convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(devicePixelRatio);
        it = decoded.insert(key, image);
    }
    return *it;
}

}  // namespace

BOOL CBitmap::Load(const BitmapResource& resource) {
    const QImage image = Decoded(resource.path, 1.0);
    if (image.isNull()) return FALSE;
    m_image = image;
    // The dense picture only where it covers exactly the same area.
    m_imageDense = resource.pathDense != nullptr ? Decoded(resource.pathDense, 2.0) : QImage();
    if (m_imageDense.size() != 2 * m_image.size()) m_imageDense = QImage();
    m_nLoadedKey = m_image.cacheKey();
    return TRUE;
}

const QImage& CBitmap::GetDenseImage() const {
    static const QImage none;
    return m_image.cacheKey() == m_nLoadedKey ? m_imageDense : none;
}

BOOL CBitmap::DeleteObject() {
    if (m_image.isNull()) return FALSE;
    m_image = QImage();
    m_imageDense = QImage();
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

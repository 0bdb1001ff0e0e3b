// A picture loaded from the resources by id or name.
#pragma once

// A picture holds its pixels by value: CBitmap objects live in the dialog's
// members and on the stack of its paint handler.
#include <QImage>

#include "platform/Types.h"

namespace platform {

struct BitmapResource;

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
    // The same picture at twice the density (device pixel ratio 2), drawn in
    // its place on high-density screens; null when the resource has none.
    // Drawing into the picture leaves it without one.
    const QImage& GetDenseImage() const;

    // The 1 x 1 picture a memory device context holds before any other.
    static CBitmap* Stock();

private:
    BOOL Load(const BitmapResource& resource);
    QImage m_image;           // always Format_RGB32
    QImage m_imageDense;      // Format_RGB32, device pixel ratio 2, or null
    qint64 m_nLoadedKey = 0;  // m_image's cache key as loaded; drawing into it changes the key
};

}  // namespace platform

#include "tools/resgen/IndexedPicture.h"

#include <QBuffer>

namespace resgen {

namespace {

constexpr int kInfoHeaderSize = 40;
constexpr int kFileHeaderSize = 14;
constexpr int kColourTableSize = 16 * 4;
constexpr int kIconDirSize = 6;
constexpr int kIconEntrySize = 16;

void Put16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Rows are padded to a multiple of four bytes.
int Stride(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

}  // namespace

IndexedPicture::IndexedPicture(int width, int height, Colour fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill) {}

void IndexedPicture::Set(int x, int y, Colour c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = c;
}

QByteArray IndexedPicture::Dib(bool withMask, std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre) const {
    const int stride = Stride(width_, 4);
    const int maskStride = Stride(width_, 1);
    const int pixelBytes = stride * height_ + (withMask ? maskStride * height_ : 0);
    QByteArray out;
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(width_));
    // An icon image's header counts the colour rows and the mask rows.
    Put32(out, static_cast<std::uint32_t>(withMask ? 2 * height_ : height_));
    Put16(out, 1);  // planes
    Put16(out, 4);  // bits per pixel
    Put32(out, 0);  // no compression
    Put32(out, static_cast<std::uint32_t>(pixelBytes));
    Put32(out, static_cast<std::uint32_t>(xPixelsPerMetre));
    Put32(out, static_cast<std::uint32_t>(yPixelsPerMetre));
    Put32(out, 0);  // colours used: all 16
    Put32(out, 0);  // important colours: all
    for (QRgb c : kPalette) {
        out.append(static_cast<char>(qBlue(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qRed(c)));
        out.append('\0');
    }
    for (int y = height_ - 1; y >= 0; --y) {
        QByteArray row(stride, '\0');
        for (int x = 0; x < width_; ++x) {
            const int shift = (x % 2 == 0) ? 4 : 0;  // first pixel in the high nibble
            row[x / 2] = static_cast<char>(static_cast<unsigned char>(row[x / 2]) | (At(x, y) << shift));
        }
        out.append(row);
    }
    if (withMask) out.append(QByteArray(maskStride * height_, '\0'));  // every pixel opaque
    return out;
}

QByteArray IndexedPicture::ToBmp(std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre) const {
    const QByteArray dib = Dib(false, xPixelsPerMetre, yPixelsPerMetre);
    QByteArray out("BM");
    Put32(out, static_cast<std::uint32_t>(kFileHeaderSize + dib.size()));
    Put32(out, 0);
    Put32(out, kFileHeaderSize + kInfoHeaderSize + kColourTableSize);  // offset of the pixels
    out.append(dib);
    return out;
}

QByteArray IndexedPicture::ToIco(const std::vector<const IndexedPicture*>& images) {
    std::vector<QByteArray> dibs;
    for (const IndexedPicture* image : images) dibs.push_back(image->Dib(true, 0, 0));
    QByteArray out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = kIconDirSize + kIconEntrySize * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.append(static_cast<char>(images[i]->Width()));
        out.append(static_cast<char>(images[i]->Height()));
        out.append(static_cast<char>(16));  // colours
        out.append('\0');
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits per pixel
        Put32(out, static_cast<std::uint32_t>(dibs[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const QByteArray& dib : dibs) out.append(dib);
    return out;
}

QByteArray IndexedPicture::ToPng() const {
    QImage image(width_, height_, QImage::Format_Indexed8);
    image.setColorTable(QList<QRgb>(kPalette.begin(), kPalette.end()));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) image.setPixel(x, y, At(x, y));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return out;
}

}  // namespace resgen

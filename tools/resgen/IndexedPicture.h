// A 16-colour picture and the byte layouts it is stored in: BMP files with a
// 40-byte header and 4 bits per pixel, icon images, and palette PNGs.
#pragma once

#include <QByteArray>
#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

namespace resgen {

// The 16 colours every picture uses, in their table order.
enum Colour : std::uint8_t {
    kBlack,
    kMaroon,
    kGreen,
    kOlive,
    kNavy,
    kPurple,
    kTeal,
    kSilver,
    kGrey,
    kRed,
    kLime,
    kYellow,
    kBlue,
    kMagenta,
    kCyan,
    kWhite,
};

inline constexpr std::array<QRgb, 16> kPalette{
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

class IndexedPicture {
public:
    IndexedPicture(int width, int height, Colour fill);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Colour At(int x, int y) const { return pixels_[Index(x, y)]; }
    void Set(int x, int y, Colour c);  // ignores points outside

    // A BMP file: 14-byte file header, 40-byte header, 16 colours, rows bottom-up.
    QByteArray ToBmp(std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre) const;

    // An icon file of opaque 4-bit images (empty transparency masks).
    static QByteArray ToIco(const std::vector<const IndexedPicture*>& images);

    // A palette PNG with the 16-colour table.
    QByteArray ToPng() const;

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * width_ + x; }
    QByteArray Dib(bool withMask, std::int32_t xPixelsPerMetre, std::int32_t yPixelsPerMetre) const;

    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

}  // namespace resgen

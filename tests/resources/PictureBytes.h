// Reads the built-in picture files byte for byte, as the program carries them.
#pragma once

#include <QByteArray>
#include <QFile>
#include <array>
#include <cstdint>
#include <set>

namespace testing_resources {

inline QByteArray ReadBuiltIn(const char* path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

inline std::uint32_t U16(const QByteArray& b, int at) {
    return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8;
}

inline std::uint32_t U32(const QByteArray& b, int at) { return U16(b, at) | U16(b, at + 2) << 16; }

// The 16 colours, 0xRRGGBB, in table order.
inline constexpr std::array<std::uint32_t, 16> kColours{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

enum : int {
    kBlack = 0,
    kOlive = 3,
    kNavy = 4,
    kSilver = 7,
    kGrey = 8,
    kLime = 10,
    kYellow = 11,
    kBlue = 12,
    kWhite = 15
};

// A 4-bit bottom-up pixel array at a byte offset.
struct FourBitPixels {
    const QByteArray* bytes;
    int offset;
    int width;
    int height;
    int stride;

    int At(int x, int y) const {
        const auto byte = static_cast<std::uint8_t>((*bytes)[offset + (height - 1 - y) * stride + x / 2]);
        return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
    }

    std::set<int> Used() const {
        std::set<int> used;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) used.insert(At(x, y));
        return used;
    }
};

}  // namespace testing_resources

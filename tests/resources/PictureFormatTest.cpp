// Storage of the built-in pictures and the icon: headers, colour tables,
// sizes and strides byte for byte, and that Qt loads what the layer loads.
#include <gtest/gtest.h>

#include <QImage>

#include "resources/DexlinResources.h"
#include "tests/resources/PictureBytes.h"

namespace {

using namespace testing_resources;

void ExpectColourTable(const QByteArray& b, int at) {
    for (int i = 0; i < 16; ++i) {
        // Stored blue, green, red, zero: little-endian 0x00RRGGBB.
        EXPECT_EQ(U32(b, at + 4 * i), kColours[i]) << "entry " << i;
    }
}

struct BmpCase {
    const char* path;
    int width, height, stride;
};

class BmpStorage : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpStorage, HeadersColourTableAndPadding) {
    const BmpCase c = GetParam();
    const QByteArray b = ReadBuiltIn(c.path);
    const int pixelBytes = c.stride * c.height;
    ASSERT_EQ(b.size(), 14 + 40 + 64 + pixelBytes);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(U32(b, 2), static_cast<std::uint32_t>(b.size()));
    EXPECT_EQ(U32(b, 10), 118u);  // pixels follow the colour table
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(U32(b, 22), static_cast<std::uint32_t>(c.height));  // positive: bottom-up
    EXPECT_EQ(U16(b, 26), 1u);
    EXPECT_EQ(U16(b, 28), 4u);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), static_cast<std::uint32_t>(pixelBytes));
    EXPECT_EQ(U32(b, 38), 3790u);
    EXPECT_EQ(U32(b, 42), 3800u);
    EXPECT_EQ(U32(b, 46), 0u);
    EXPECT_EQ(U32(b, 50), 0u);
    ExpectColourTable(b, 54);
    // Nothing but zeros past the last pixel of each row.
    const int used = (c.width + 1) / 2;
    for (int row = 0; row < c.height; ++row) {
        const int start = 118 + row * c.stride;
        if (c.width % 2 == 1) {
            EXPECT_EQ(static_cast<std::uint8_t>(b[start + used - 1]) & 0x0F, 0) << row;
        }
        for (int i = used; i < c.stride; ++i) ASSERT_EQ(b[start + i], 0) << row;
    }
}

TEST_P(BmpStorage, QtReadsTheSamePixels) {
    const BmpCase c = GetParam();
    const QByteArray b = ReadBuiltIn(c.path);
    const FourBitPixels pixels{&b, 118, c.width, c.height, c.stride};
    const QImage image(c.path);
    ASSERT_EQ(image.size(), QSize(c.width, c.height));
    for (int y = 0; y < c.height; y += 7)
        for (int x = 0; x < c.width; x += 5)
            ASSERT_EQ(image.pixel(x, y) & 0xFFFFFF, kColours[pixels.At(x, y)]) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Pictures, BmpStorage,
                         ::testing::Values(BmpCase{":/pictures/worldmap.bmp", 637, 454, 320},
                                           BmpCase{":/pictures/advertu.bmp", 656, 415, 328}));

TEST(MapPicture, UsesOnlyItsEightColours) {
    const QByteArray b = ReadBuiltIn(":/pictures/worldmap.bmp");
    ASSERT_EQ(b.size(), 118 + 320 * 454);
    const FourBitPixels map{&b, 118, 637, 454, 320};
    const std::set<int> allowed{kBlack, kOlive, kNavy, kSilver, kGrey, kLime, kYellow, kWhite};
    for (int index : map.Used()) EXPECT_TRUE(allowed.count(index)) << "colour " << index;
}

struct IconImage {
    int size;
    std::uint32_t bytes;
    const char* png;
};

TEST(AppIcon, TwoOpaqueSixteenColourImages) {
    const QByteArray b = ReadBuiltIn(":/pictures/dexlin.ico");
    ASSERT_GE(b.size(), 6 + 2 * 16);
    EXPECT_EQ(U16(b, 0), 0u);
    EXPECT_EQ(U16(b, 2), 1u);
    ASSERT_EQ(U16(b, 4), 2u);
    const IconImage images[] = {{32, 744, ":/pictures/dexlin-32.png"}, {16, 296, ":/pictures/dexlin-16.png"}};
    std::uint32_t expectedOffset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        const IconImage& img = images[i];
        SCOPED_TRACE(img.size);
        const int entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<std::uint8_t>(b[entry]), img.size);
        EXPECT_EQ(static_cast<std::uint8_t>(b[entry + 1]), img.size);
        EXPECT_EQ(static_cast<std::uint8_t>(b[entry + 2]), 16);
        EXPECT_EQ(U16(b, entry + 4), 1u);
        EXPECT_EQ(U16(b, entry + 6), 4u);
        ASSERT_EQ(U32(b, entry + 8), img.bytes);
        ASSERT_EQ(U32(b, entry + 12), expectedOffset);
        const int at = static_cast<int>(expectedOffset);
        ASSERT_LE(at + static_cast<int>(img.bytes), b.size());
        EXPECT_EQ(U32(b, at), 40u);
        EXPECT_EQ(U32(b, at + 4), static_cast<std::uint32_t>(img.size));
        EXPECT_EQ(U32(b, at + 8), static_cast<std::uint32_t>(2 * img.size));  // colour and mask rows
        EXPECT_EQ(U16(b, at + 12), 1u);
        EXPECT_EQ(U16(b, at + 14), 4u);
        ExpectColourTable(b, at + 40);
        const int stride = img.size / 2;
        const FourBitPixels pixels{&b, at + 104, img.size, img.size, stride};
        // Opaque: the transparency mask after the colour rows is all zero.
        const int maskStart = at + 104 + stride * img.size;
        for (int k = maskStart; k < at + static_cast<int>(img.bytes); ++k) ASSERT_EQ(b[k], 0);

        // The globe: black corners, land and sea inside, white bars above and below.
        const std::set<int> used = pixels.Used();
        EXPECT_EQ(used, (std::set<int>{kBlack, kLime, kBlue, kWhite}));
        const int last = img.size - 1, mid = img.size / 2;
        for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) EXPECT_EQ(pixels.At(x, y), kBlack);
        EXPECT_NE(pixels.At(mid, mid), kBlack);
        const auto whiteInRows = [&](int from, int to) {
            for (int y = from; y <= to; ++y)
                if (pixels.At(mid, y) == kWhite) return true;
            return false;
        };
        EXPECT_TRUE(whiteInRows(0, img.size / 8));
        EXPECT_TRUE(whiteInRows(last - img.size / 8, last));
        // Americas west of the centre, Europe and Africa east: land on both sides.
        int landWest = 0, landEast = 0;
        for (int y = 0; y < img.size; ++y)
            for (int x = 0; x < img.size; ++x)
                if (pixels.At(x, y) == kLime) ++(x < mid ? landWest : landEast);
        EXPECT_GT(landWest, 0);
        EXPECT_GT(landEast, 0);

        // The PNG for the desktop carries the same pixels.
        const QImage png(img.png);
        ASSERT_EQ(png.size(), QSize(img.size, img.size));
        for (int y = 0; y < img.size; ++y)
            for (int x = 0; x < img.size; ++x)
                ASSERT_EQ(png.pixel(x, y) & 0xFFFFFF, kColours[pixels.At(x, y)]) << x << "," << y;
        expectedOffset += img.bytes;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(b.size()), expectedOffset);
}

TEST(ResourceSet, EveryPicturePathIsBuiltInAndLoads) {
    const platform::ResourceSet& set = DexlinResources();
    for (const auto& bitmap : set.bitmaps) EXPECT_FALSE(QImage(bitmap.path).isNull()) << bitmap.path;
    for (const auto& icon : set.icons) {
        int previous = 1 << 30;
        for (const char* path : icon.imagePaths) {
            const QImage image(path);
            ASSERT_FALSE(image.isNull()) << path;
            EXPECT_LT(image.width(), previous) << "largest first";
            previous = image.width();
        }
    }
    EXPECT_EQ(QImage(":/pictures/dexlin-128.png").size(), QSize(128, 128));
}

}  // namespace

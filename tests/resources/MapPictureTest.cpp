// The map picture's content: the readout panel pixel for pixel, the graticule
// where the readout's conversion puts it, and land and sea at known places,
// each looked up through the conversion the readouts use.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/MapProjection.h"
#include "tests/resources/PictureBytes.h"

namespace {

using namespace testing_resources;

constexpr int kWidth = 637, kHeight = 454, kLastMapRow = 377;

class MapPicture : public ::testing::Test {
protected:
    void SetUp() override {
        m_bytes = ReadBuiltIn(":/pictures/worldmap.bmp");
        ASSERT_EQ(m_bytes.size(), 118 + 320 * kHeight);
    }
    int At(int x, int y) const { return FourBitPixels{&m_bytes, 118, kWidth, kHeight, 320}.At(x, y); }

    QByteArray m_bytes;
};

// ---- The readout panel ----

struct Rect {
    int left, top, right, bottom;  // inclusive
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

struct PanelBox {
    const char* name;
    Rect box;
    Rect label;  // columns of the label's ink; rows it may use
};

// The boxes, and each label's columns, as the readouts expect them.
const PanelBox kPanel[] = {
    {"cursor position", {131, 384, 236, 404}, {26, 384, 122, 404}},
    {"start position", {131, 407, 236, 427}, {37, 407, 122, 427}},
    {"destination", {131, 430, 236, 450}, {50, 430, 122, 450}},
    {"magnetic variation", {347, 384, 452, 404}, {244, 384, 338, 404}},
    {"great-circle course", {347, 407, 397, 427}, {262, 406, 338, 431}},
    {"distance", {347, 430, 397, 450}, {283, 430, 338, 450}},
};
const Rect kMilesLabel{405, 435, 444, 447};
constexpr int kLabelTolerance = 3;  // columns a label's left end may stray with the font

// Colour of a box pixel: outer ring grey over black, inner ring silver over
// grey (the dark sides own the corners they share), white inside.
int BoxColour(const Rect& b, int x, int y) {
    if (x == b.right || y == b.bottom) return kBlack;
    if (x == b.left || y == b.top) return kGrey;
    if (x == b.right - 1 || y == b.bottom - 1) return kGrey;
    if (x == b.left + 1 || y == b.top + 1) return kSilver;
    return kWhite;
}

TEST_F(MapPicture, PanelBoxesHaveTheirBevelsAndWhiteInsides) {
    for (const PanelBox& p : kPanel) {
        SCOPED_TRACE(p.name);
        const Rect& b = p.box;
        for (int y = b.top; y <= b.bottom; ++y)
            for (int x = b.left; x <= b.right; ++x) ASSERT_EQ(At(x, y), BoxColour(b, x, y)) << x << "," << y;
        // The readouts write at the inside's top-left corner plus two.
        EXPECT_EQ(At(b.left + 2, b.top + 2), kWhite);
        EXPECT_EQ(At(b.left + 1, b.top + 1), kSilver);
        EXPECT_EQ(At(b.right - 1, b.bottom - 1), kGrey);
    }
}

TEST_F(MapPicture, LabelsAreBlackAndEndEightColumnsLeftOfTheirBoxes) {
    for (const PanelBox& p : kPanel) {
        SCOPED_TRACE(p.name);
        int left = kWidth, right = -1;
        for (int y = p.label.top; y <= p.label.bottom; ++y)
            for (int x = p.label.left - kLabelTolerance; x < p.box.left; ++x) {
                const int c = At(x, y);
                ASSERT_TRUE(c == kBlack || c == kYellow) << x << "," << y;
                if (c == kBlack) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        EXPECT_EQ(right, p.box.left - 9);
        EXPECT_NEAR(left, p.label.left, kLabelTolerance);
    }
    int left = kWidth, right = -1, top = kHeight, bottom = -1;
    // "(miles)" right of the distance box, below the variation box.
    for (int y = 430; y < kHeight; ++y)
        for (int x = 398; x <= 452; ++x)
            if (At(x, y) == kBlack) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, kMilesLabel.left);
    EXPECT_NEAR(right, kMilesLabel.right, kLabelTolerance);
    EXPECT_EQ(top, kMilesLabel.top);
    EXPECT_EQ(bottom, kMilesLabel.bottom);
}

TEST_F(MapPicture, PanelIsPlainYellowOutsideBoxesAndLabels) {
    for (int y = 378; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            bool covered = false;
            for (const PanelBox& p : kPanel) {
                const Rect wideLabel{p.label.left - kLabelTolerance, p.label.top, p.label.right, p.label.bottom};
                covered = covered || p.box.Contains(x, y) || wideLabel.Contains(x, y);
            }
            const Rect wideMiles{kMilesLabel.left, kMilesLabel.top - 1, kMilesLabel.right + kLabelTolerance,
                                 kMilesLabel.bottom + 1};
            if (covered || wideMiles.Contains(x, y)) continue;
            ASSERT_EQ(At(x, y), kYellow) << x << "," << y;
        }
    }
    // The buttons' part and the last row, which the dialog never shows.
    for (int y = 378; y < kHeight; ++y)
        for (int x = 453; x < kWidth; ++x) ASSERT_EQ(At(x, y), kYellow) << x << "," << y;
}

// ---- The map ----

// The main dialog's map rectangle, as the readouts convert pixels with it.
constexpr geometry::MapRect kReadoutMap{0, 0, 634, 378, 0};

double ReadoutLatitude(int y) {
    double lat = 0.0, lon = 0.0;
    std::string text;
    geometry::PixelToGeographic(kReadoutMap, 0, y, lat, lon, text);
    return lat;
}

double ReadoutLongitude(int x) {
    double lat = 0.0, lon = 0.0;
    std::string text;
    geometry::PixelToGeographic(kReadoutMap, x, 0, lat, lon, text);
    return lon;
}

// The map pixel whose readout comes nearest to a position.
std::pair<int, int> ReadoutPixel(double latitude, double longitude) {
    int bestX = 0, bestY = 0;
    for (int x = 0; x <= kReadoutMap.right; ++x)
        if (std::fabs(ReadoutLongitude(x) - longitude) < std::fabs(ReadoutLongitude(bestX) - longitude)) bestX = x;
    for (int y = 0; y <= kLastMapRow; ++y)
        if (std::fabs(ReadoutLatitude(y) - latitude) < std::fabs(ReadoutLatitude(bestY) - latitude)) bestY = y;
    return {bestX, bestY};
}

// The inverse of the readout's curve (80 degrees at row 0, the equator at row
// 246, shape 63 degrees) and of its 634 columns to 360 degrees, as the map's
// lines and marks are drawn with it.
double Row(double latitude) {
    const double deg = 3.1415926535 / 180.0;
    return 246.0 - 246.0 * std::tan(latitude * 63.0 / 80.0 * deg) / std::tan(63.0 * deg);
}
double Column(double longitude) { return (longitude + 180.0) * 634.0 / 360.0; }
int Nearest(double v) { return static_cast<int>(std::lround(v)); }

TEST(MapScale, InverseMeetsTheReadoutOnEveryRowAndColumn) {
    for (int y = 0; y <= 378; ++y) ASSERT_NEAR(Row(ReadoutLatitude(y)), y, 1e-6) << y;
    for (int x = 0; x <= 634; ++x) ASSERT_NEAR(Column(ReadoutLongitude(x)), x, 1e-9) << x;
    // The graticule's lines where the readout table puts them.
    EXPECT_NEAR(Row(60), 110.4, 0.05);
    EXPECT_NEAR(Row(40), 169.2, 0.05);
    EXPECT_NEAR(Row(20), 210.6, 0.05);
    EXPECT_NEAR(Row(-40), 322.8, 0.05);
    EXPECT_NEAR(Column(-135), 79.25, 1e-9);
    EXPECT_NEAR(Column(90), 475.5, 1e-9);
}

TEST_F(MapPicture, GraticuleMarksStandWhereTheReadoutPutsTheLines) {
    // Intersections of 60 N .. 40 S by 20 and 135 W .. 135 E by 45, each at the
    // nearest pixel (halves rounded up: 158.5 -> 159, 475.5 -> 476).
    std::set<std::pair<int, int>> marks;
    for (int lat = 60; lat >= -40; lat -= 20)
        for (int lon = -135; lon <= 135; lon += 45) marks.insert({Nearest(Column(lon)), Nearest(Row(lat))});
    ASSERT_EQ(marks.size(), 42u);
    // Each mark's readout lies within half a pixel of its line.
    const double halfColumn = 180.0 / 634.0 + 1e-9;
    for (auto [x, y] : marks) {
        const double lon = ReadoutLongitude(x), lat = ReadoutLatitude(y);
        EXPECT_LE(std::fabs(lon - 45.0 * std::round(lon / 45.0)), halfColumn) << x;
        const double halfRow = std::fabs(ReadoutLatitude(y + 1) - ReadoutLatitude(y - 1)) / 4.0 + 1e-9;
        EXPECT_LE(std::fabs(lat - 20.0 * std::round(lat / 20.0)), halfRow) << y;
    }
    EXPECT_TRUE(marks.count({79, 110}));
    EXPECT_TRUE(marks.count({317, 246}));
    EXPECT_TRUE(marks.count({476, 323}));
    // Exactly those pixels of the map are black.
    for (int y = 0; y <= kLastMapRow; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(At(x, y) == kBlack, marks.count({x, y}) == 1) << x << "," << y;
}

TEST_F(MapPicture, MapUsesSeaLandAndCoastColoursOnly) {
    std::set<int> used;
    for (int y = 0; y <= kLastMapRow; ++y)
        for (int x = 0; x < kWidth; ++x) used.insert(At(x, y));
    EXPECT_EQ(used, (std::set<int>{kBlack, kOlive, kNavy, kLime}));
}

TEST_F(MapPicture, ColumnsPastTheDateLineRepeatTheFarWest) {
    // Columns 635 and 636 lie one full turn east of columns 1 and 2.
    for (int y = 0; y <= kLastMapRow; ++y) {
        ASSERT_EQ(At(635, y), At(1, y)) << y;
        ASSERT_EQ(At(636, y), At(2, y)) << y;
    }
}

struct Place {
    const char* name;
    double latitude, longitude;
    int colour;
};

class PlacesOnTheMap : public MapPicture, public ::testing::WithParamInterface<Place> {};

TEST_P(PlacesOnTheMap, LandOrSeaUnderTheReadoutsPixel) {
    const Place& p = GetParam();
    const auto [x, y] = ReadoutPixel(p.latitude, p.longitude);
    // The pixel and its neighbours: places well inside land or sea.
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) EXPECT_EQ(At(x + dx, y + dy), p.colour) << p.name << " " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    KnownPlaces, PlacesOnTheMap,
    ::testing::Values(Place{"Sahara", 26.0, 3.0, kOlive}, Place{"Australia", -25.0, 134.0, kOlive},
                      Place{"Siberia", 62.0, 100.0, kOlive}, Place{"Amazon", -5.0, -62.0, kOlive},
                      Place{"Greenland", 75.0, -40.0, kOlive}, Place{"Great Plains", 40.0, -100.0, kOlive},
                      Place{"Chukotka", 66.5, 175.0, kOlive}, Place{"North Atlantic", 30.0, -40.0, kNavy},
                      Place{"South Atlantic", -25.0, -15.0, kNavy}, Place{"Pacific", 0.0, -150.0, kNavy},
                      Place{"Indian Ocean", -20.0, 75.0, kNavy}, Place{"Hudson Bay", 60.0, -86.0, kNavy},
                      Place{"Mediterranean", 34.0, 18.0, kNavy}, Place{"Tasman Sea", -38.0, 160.0, kNavy},
                      Place{"Southern Ocean", -58.0, 0.0, kNavy}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

}  // namespace

// ---- The same map at twice the density ----

// Each map pixel is 2 x 2 picture pixels. The panel's boxes are the 1x boxes
// doubled (every bevel ring two pixels wide on every side), and the first
// picture pixel of every map pixel shows what the 1x picture shows there,
// away from lines.
TEST_F(MapPicture, TwiceAsDenseShowsTheSamePlacesAndEvenBevels) {
    const QImage dense(QStringLiteral(":/pictures/worldmap@2x.png"));
    ASSERT_EQ(dense.size(), QSize(2 * kWidth, 2 * kHeight));
    ASSERT_EQ(dense.format(), QImage::Format_Indexed8);
    for (const PanelBox& p : kPanel) {
        SCOPED_TRACE(p.name);
        const Rect& b = p.box;
        for (int y = 2 * b.top; y <= 2 * b.bottom + 1; ++y)
            for (int x = 2 * b.left; x <= 2 * b.right + 1; ++x)
                ASSERT_EQ(dense.pixelIndex(x, y), BoxColour(b, x / 2, y / 2)) << x << "," << y;
        // The label keeps at least its 1x gap: plain yellow between its 1x
        // right end and the box.
        for (int y = 2 * b.top; y <= 2 * b.bottom + 1; ++y)
            for (int x = 2 * (p.label.right + 1); x < 2 * b.left; ++x)
                ASSERT_EQ(dense.pixelIndex(x, y), kYellow) << "gap left of the box at " << x << "," << y;
    }
    int compared = 0, differing = 0;
    for (int y = 1; y < kLastMapRow; ++y)
        for (int x = 1; x + 1 < kWidth; ++x) {
            bool plain = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    plain = plain && (At(x + dx, y + dy) == kNavy || At(x + dx, y + dy) == kOlive);
            if (!plain) continue;
            ++compared;
            differing += dense.pixelIndex(2 * x, 2 * y) != At(x, y);
        }
    EXPECT_GT(compared, 150000);
    EXPECT_LT(differing, compared / 1000) << "land and sea where the 1x picture has them";
}

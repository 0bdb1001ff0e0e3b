// Hit test, projection and position text of the world map.
#include "geometry/MapProjection.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

#include "tests/support/DecimalCommaLocale.h"

namespace {

using geometry::kWorldMap;

// ---- hit test: all four edges are on the map, one pixel further is not ----

struct HitRow {
    const char* name;
    int x;
    int y;
    int inside;
};

void PrintTo(const HitRow& row, std::ostream* os) { *os << row.name; }

class HitTest : public testing::TestWithParam<HitRow> {};

TEST_P(HitTest, AnswersOneOnTheMapAndZeroOffIt) {
    const HitRow& row = GetParam();
    EXPECT_EQ(geometry::IsInsideMap(kWorldMap, row.x, row.y), row.inside);
}

INSTANTIATE_TEST_SUITE_P(Edges, HitTest,
                         testing::Values(HitRow{"TopLeftCorner", 0, 0, 1}, HitRow{"LeftEdge", 0, 200, 1},
                                         HitRow{"RightEdge", 634, 200, 1}, HitRow{"TopEdge", 300, 0, 1},
                                         HitRow{"BottomEdge", 300, 378, 1}, HitRow{"BottomRightCorner", 634, 378, 1},
                                         HitRow{"LeftOfMap", -1, 200, 0}, HitRow{"RightOfMap", 635, 200, 0},
                                         HitRow{"AboveMap", 300, -1, 0}, HitRow{"ReadoutPanel", 300, 379, 0},
                                         HitRow{"FarOff", -2147483647 - 1, 2147483647, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HitTest, OffsetShiftsEveryEdge) {
    const geometry::MapRect shifted{0, 0, 634, 378, 5};
    EXPECT_EQ(geometry::IsInsideMap(shifted, 4, 100), 0);
    EXPECT_EQ(geometry::IsInsideMap(shifted, 5, 5), 1);
    EXPECT_EQ(geometry::IsInsideMap(shifted, 639, 383), 1);
    EXPECT_EQ(geometry::IsInsideMap(shifted, 640, 100), 0);
    EXPECT_EQ(geometry::IsInsideMap(shifted, 100, 384), 0);
}

// ---- projection and text: positions and the display bytes ----

struct PixelRow {
    const char* name;
    int x;
    int y;
    double latitude;
    double longitude;
    double tolerance;  // 0 demands the exact value
    const char* text;  // byte for byte, degree sign 0xB0
};

void PrintTo(const PixelRow& row, std::ostream* os) { *os << row.name; }

class PixelText : public testing::TestWithParam<PixelRow> {};

TEST_P(PixelText, GivesPositionAndText) {
    const PixelRow& row = GetParam();
    double latitude = 1234.0;
    double longitude = 1234.0;
    std::string text = "previous contents are replaced";
    geometry::PixelToGeographic(kWorldMap, row.x, row.y, latitude, longitude, text);
    if (row.tolerance == 0.0) {
        EXPECT_EQ(latitude, row.latitude);
        EXPECT_EQ(longitude, row.longitude);
    } else {
        EXPECT_NEAR(latitude, row.latitude, row.tolerance);
        EXPECT_NEAR(longitude, row.longitude, row.tolerance);
    }
    EXPECT_EQ(text, std::string(row.text));
}

INSTANTIATE_TEST_SUITE_P(
    Readouts, PixelText,
    testing::Values(PixelRow{"TopLeft", 0, 0, 80.0, -180.0, 0.0, "80\xB0 N   180\xB0 W"},
                    PixelRow{"EquatorPrimeMeridianBlankLetters", 317, 246, 0.0, 0.0, 0.0, " 0\xB0     000\xB0  "},
                    PixelRow{"BottomRight", 634, 378, -59.024, 180.0, 5e-4, "59\xB0 S   180\xB0 E"},
                    PixelRow{"RightEdgeSameRowAsLeft", 634, 0, 80.0, 180.0, 0.0, "80\xB0 N   180\xB0 E"},
                    PixelRow{"RowAboveEquatorRoundsToOne", 317, 245, 0.580, 0.0, 5e-4, " 1\xB0 N   000\xB0  "},
                    PixelRow{"RowBelowEquatorRoundsToOne", 317, 247, -0.580, 0.0, 5e-4, " 1\xB0 S   000\xB0  "},
                    PixelRow{"ColumnEastOfPrimeMeridian", 318, 246, 0.0, 0.5678, 1e-4, " 0\xB0     001\xB0 E"},
                    PixelRow{"ColumnWestOfPrimeMeridian", 316, 246, 0.0, -0.5678, 1e-4, " 0\xB0     001\xB0 W"},
                    PixelRow{"NearestToHalfDegreeLatitude", 317, 168, 40.49986, 0.0, 1e-5, "40\xB0 N   000\xB0  "},
                    PixelRow{"NearestToHalfDegreeLongitude", 258, 246, 0.0, -33.50158, 1e-5, " 0\xB0     034\xB0 W"}),
    [](const auto& info) { return std::string(info.param.name); });

// Latitude of rows, to three decimals; rows Y and 492 - Y mirror each other.
struct RowLatitude {
    int row;
    double latitude;
};

void PrintTo(const RowLatitude& row, std::ostream* os) { *os << "row " << row.row; }

class LatitudeOfRows : public testing::TestWithParam<RowLatitude> {};

TEST_P(LatitudeOfRows, FollowsTheCurveAndMirrorsAboutTheEquator) {
    const RowLatitude& row = GetParam();
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    geometry::PixelToGeographic(kWorldMap, 100, row.row, latitude, longitude, text);
    EXPECT_NEAR(latitude, row.latitude, 5e-4);
    if (row.row <= 246) {
        double mirrored = 0.0;
        geometry::PixelToGeographic(kWorldMap, 100, 492 - row.row, mirrored, longitude, text);
        EXPECT_EQ(mirrored, -latitude);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LatitudeOfRows,
                         testing::Values(RowLatitude{0, 80.000}, RowLatitude{1, 79.880}, RowLatitude{50, 72.890},
                                         RowLatitude{100, 62.671}, RowLatitude{150, 47.554}, RowLatitude{200, 25.591},
                                         RowLatitude{245, 0.580}, RowLatitude{246, 0.000}, RowLatitude{247, -0.580},
                                         RowLatitude{300, -29.596}, RowLatitude{350, -50.391},
                                         RowLatitude{377, -58.748}, RowLatitude{378, -59.024}),
                         [](const auto& info) { return "Row" + std::to_string(info.param.row); });

TEST(PixelText, EveryColumnIsThreeHundredSixtyOverSixHundredThirtyFourDegreesWide) {
    double latitude = 0.0;
    double west = 0.0;
    double east = 0.0;
    std::string text;
    geometry::PixelToGeographic(kWorldMap, 100, 10, latitude, west, text);
    geometry::PixelToGeographic(kWorldMap, 101, 10, latitude, east, text);
    EXPECT_NEAR(east - west, 360.0 / 634.0, 1e-12);
}

TEST(PixelText, OffsetMovesTheMapOriginOnBothAxes) {
    const geometry::MapRect shifted{0, 0, 634, 378, 7};
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    geometry::PixelToGeographic(shifted, 7 + 317, 7 + 246, latitude, longitude, text);
    EXPECT_EQ(latitude, 0.0);
    EXPECT_EQ(longitude, 0.0);
    geometry::PixelToGeographic(shifted, 7, 7, latitude, longitude, text);
    EXPECT_EQ(latitude, 80.0);
    EXPECT_EQ(longitude, -180.0);
}

// The text is printf's "%2.0f\xB0 %c   %03.0f\xB0 %c" in the C locale.
std::string PrintfText(double latitude, double longitude) {
    const auto letter = [](double v, char positive, char negative) {
        return v > 0 ? positive : v < 0 ? negative : ' ';
    };
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%2.0f\xB0 %c   %03.0f\xB0 %c", std::fabs(latitude),
                  letter(latitude, 'N', 'S'), std::fabs(longitude), letter(longitude, 'E', 'W'));
    return buffer;
}

TEST(PixelText, EveryMapPixelGivesAtMostFourteenCharactersAsPrintfDoes) {
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    for (int y = 0; y <= 378; ++y) {
        for (int x = 0; x <= 634; ++x) {
            geometry::PixelToGeographic(kWorldMap, x, y, latitude, longitude, text);
            ASSERT_LE(text.size(), 14u) << x << "," << y;
            ASSERT_EQ(text, PrintfText(latitude, longitude)) << x << "," << y;
            ASSERT_GE(latitude, -59.025);
            ASSERT_LE(latitude, 80.0);
        }
    }
    // Off the map, as far as an int goes: longer texts, the same bytes.
    for (const int far : {INT_MIN, -1000000, 100000, INT_MAX}) {
        geometry::PixelToGeographic(kWorldMap, far, far, latitude, longitude, text);
        EXPECT_EQ(text, PrintfText(latitude, longitude)) << far;
    }
}

TEST(PixelText, KeepsItsBytesUnderADecimalCommaLocale) {
    const testsupport::DecimalCommaLocale comma;
    ASSERT_TRUE(comma.ok() && testsupport::DecimalCommaLocale::comma()) << "no locale with a decimal comma";
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    geometry::PixelToGeographic(kWorldMap, 258, 168, latitude, longitude, text);
    EXPECT_EQ(text, "40\xB0 N   034\xB0 W");
}

}  // namespace

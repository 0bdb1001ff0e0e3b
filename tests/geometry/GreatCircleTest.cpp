// Great-circle course and distance, and the texts of their readouts.
#include "geometry/GreatCircle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <string>

#include "tests/support/DecimalCommaLocale.h"

namespace {

struct RouteRow {
    const char* name;
    double lat1;
    double lon1;
    double lat2;
    double lon2;
    double course;
    double distance;
    double tolerance;                 // on both; 0 demands the exact value
    double distanceTolerance = -1.0;  // where not below 0, the distance's own
};

void PrintTo(const RouteRow& row, std::ostream* os) { *os << row.name; }

class Route : public testing::TestWithParam<RouteRow> {};

TEST_P(Route, GivesCourseAndDistance) {
    const RouteRow& row = GetParam();
    double course = -1.0;
    double distance = -1.0;
    geometry::GreatCircleCourseDistance(row.lat1, row.lon1, row.lat2, row.lon2, course, distance);
    if (row.tolerance == 0.0) {
        EXPECT_EQ(course, row.course);
        EXPECT_EQ(distance, row.distance);
    } else {
        EXPECT_NEAR(course, row.course, row.tolerance);
        EXPECT_NEAR(distance, row.distance, row.distanceTolerance < 0.0 ? row.tolerance : row.distanceTolerance);
    }
}

// A route a hair long or nearly antipodal: the course to within 1e-6 degrees,
// the distance to within 1e-9 of itself.
RouteRow Conditioned(const char* name, double lat1, double lon1, double lat2, double lon2, double course,
                     double distance) {
    return RouteRow{name, lat1, lon1, lat2, lon2, course, distance, 1e-6, distance * 1e-9};
}

INSTANTIATE_TEST_SUITE_P(
    Reference, Route,
    testing::Values(
        RouteRow{"LondonToNewYork", 51.5, -0.1, 40.7, -74.0, 288.3, 3007.0, 0.05},
        RouteRow{"NewYorkToLondonIsNotTheReciprocal", 40.7, -74.0, 51.5, -0.1, 51.2, 3007.0, 0.05},
        RouteRow{"AlongSixtyNorth", 60.0, 0.0, 60.0, 90.0, 49.1, 2484.6, 0.05},
        RouteRow{"AlongThirtyFourSouth", -33.9, 18.4, -33.9, 151.2, 141.9, 5942.0, 0.05},
        RouteRow{"EquatorEast", 0.0, 0.0, 0.0, 90.0, 90.000000002572378, 5400.0, 0.0},
        RouteRow{"EquatorWest", 0.0, 0.0, 0.0, -90.0, 269.99999999742761, 5400.0, 0.0},
        RouteRow{"CrossingTheDateLineEastward", 0.0, 170.0, 0.0, -160.0, 90.0, 1800.0, 1e-6},
        RouteRow{"CrossingTheDateLineWestward", 0.0, -160.0, 0.0, 170.0, 270.0, 1800.0, 1e-6},
        // Antipodes read eastward for +180 of longitude, westward for -180.
        RouteRow{"HalfwayRoundTheEquator", 0.0, -180.0, 0.0, 0.0, 90.000000002572378, 10800.0, 0.0},
        RouteRow{"HalfwayRoundTheEquatorWestward", 0.0, 0.0, 0.0, -180.0, 269.99999999742761, 10800.0, 0.0},
        RouteRow{"IdenticalPositions", 12.5, 33.25, 12.5, 33.25, 0.0, 0.0, 0.0},
        // Huge longitudes are their meridians: 1e12 and 1e15 are 280 (-80) plus whole turns.
        RouteRow{"ALongitudeOfAMillionMillion", 10.0, 1e12, 10.0, 0.0, 81.7098798508, 4712.8140255, 1e-6},
        RouteRow{"ALongitudeOfAThousandMillionMillion", 10.0, 1e15, 10.0, 0.0, 81.7098798508, 4712.8140255, 1e-6},
        RouteRow{"ATurnAndADegreeIsOneDegree", 10.0, 361.0, 10.0, 0.0, 270.0868262239, 59.0884425656, 1e-9}),
    [](const auto& info) { return std::string(info.param.name); });

// The two ends of the map's rows are one place; positions that differ only in
// the sign of a coordinate are different places with a real course.
INSTANTIATE_TEST_SUITE_P(
    Coincidence, Route,
    testing::Values(RouteRow{"LeftAndRightMapEdgeOnTheEquator", 0.0, -180.0, 0.0, 180.0, 0.0, 0.0, 0.0},
                    RouteRow{"RightAndLeftMapEdgeAtFortyNorth", 40.5, 180.0, 40.5, -180.0, 0.0, 0.0, 0.0},
                    RouteRow{"TwentyNorthToTwentySouth", 20.0, 5.0, -20.0, 5.0, 180.0, 2400.0, 1e-6},
                    RouteRow{"TenWestToTenEast", 10.0, -10.0, 10.0, 10.0, 88.2462, 1181.586, 1e-3},
                    RouteRow{"OneSeventyEastToOneSeventyWest", 0.0, 170.0, 0.0, -170.0, 90.0, 1200.0, 1e-6},
                    RouteRow{"ATenThousandthOfADegreeApart", 0.0, 0.0, 1e-4, 0.0, 0.0, 0.006, 1e-6}),
    [](const auto& info) { return std::string(info.param.name); });

// Routes along a meridian read exactly north or south, never a few millionths off.
INSTANTIATE_TEST_SUITE_P(Meridian, Route,
                         testing::Values(RouteRow{"Northward", -10.0, 3.0, 40.0, 3.0, 0.0, 3000.0, 1e-6},
                                         RouteRow{"Southward", 20.0, 5.0, -20.0, 5.0, 180.0, 2400.0, 1e-6},
                                         RouteRow{"OverTheNorthPole", 80.0, 0.0, 80.0, 180.0, 0.0, 1200.0, 1e-6},
                                         RouteRow{"OverTheSouthPole", -80.0, 0.0, -70.0, 180.0, 180.0, 1800.0, 1e-6},
                                         RouteRow{"OnTheDateLineEdges", -50.0, -180.0, 60.0, 180.0, 0.0, 6600.0, 1e-6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Route, MeridianCoursesAreExactEverywhereOnTheMap) {
    double course = 0.0;
    double distance = 0.0;
    for (double lon = -180.0; lon <= 180.0; lon += 7.5) {
        for (double lat1 = -59.0; lat1 <= 80.0; lat1 += 1.3) {
            for (double lat2 = -58.0; lat2 <= 80.0; lat2 += 2.7) {
                geometry::GreatCircleCourseDistance(lat1, lon, lat2, lon, course, distance);
                ASSERT_EQ(course, lat2 > lat1 ? 0.0 : 180.0) << lat1 << " " << lat2 << " at " << lon;
                ASSERT_NEAR(distance, std::fabs(lat2 - lat1) * 60.0, 1e-6);
            }
        }
    }
}

TEST(Route, LeftAndRightMapEdgesCoincideOnEveryRow) {
    double course = -1.0;
    double distance = -1.0;
    for (double lat = -59.024; lat <= 80.0; lat += 0.0625) {
        geometry::GreatCircleCourseDistance(lat, -180.0, lat, 180.0, course, distance);
        ASSERT_EQ(course, 0.0) << lat;
        ASSERT_EQ(distance, 0.0) << lat;
        geometry::GreatCircleCourseDistance(lat, 180.0, lat, -180.0, course, distance);
        ASSERT_EQ(course, 0.0) << lat;
        ASSERT_EQ(distance, 0.0) << lat;
    }
}

TEST(Route, DistanceIsSymmetric) {
    double course = 0.0;
    double there = 0.0;
    double back = 0.0;
    geometry::GreatCircleCourseDistance(51.5, -0.1, 40.7, -74.0, course, there);
    geometry::GreatCircleCourseDistance(40.7, -74.0, 51.5, -0.1, course, back);
    EXPECT_EQ(there, back);
}

// Antipodes, poles and near-meridian routes are where the arc cosines leave
// -1..+1 or their denominators vanish; nothing may come out NaN or out of range.
TEST(Route, NeverNaNOverTheWholeGlobeIncludingAntipodes) {
    double course = 0.0;
    double distance = 0.0;
    const auto check = [&](double lat1, double lon1, double lat2, double lon2) {
        geometry::GreatCircleCourseDistance(lat1, lon1, lat2, lon2, course, distance);
        ASSERT_TRUE(course >= 0.0 && course <= 360.0) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
        ASSERT_TRUE(distance >= 0.0 && distance <= 10800.001) << lat1 << " " << lon1 << " " << lat2 << " " << lon2;
    };
    for (double lat1 = -90.0; lat1 <= 90.0; lat1 += 5.0) {
        for (double lon1 = -360.0; lon1 <= 360.0; lon1 += 15.0) {
            check(lat1, lon1, -lat1, lon1 + 180.0);  // antipode
            check(lat1, lon1, -lat1, lon1 - 180.0);
            check(lat1, lon1, lat1, lon1 + 1e-9);  // same place up to rounding
            check(lat1, lon1, lat1 + 1e-6, lon1);
            for (double lat2 = -90.0; lat2 <= 90.0; lat2 += 7.5) {
                for (double lon2 = -180.0; lon2 <= 180.0; lon2 += 22.5) check(lat1, lon1, lat2, lon2);
            }
        }
    }
    check(90.0, 0.0, 90.0, 90.0);  // one pole at two longitudes
    check(-90.0, 10.0, -90.0, -170.0);
    check(90.0, 0.0, -90.0, 0.0);
}

// Longitudes whose difference overflows a double are still meridians: the
// route between them is the one between their remainders of whole turns.
TEST(Route, LongitudesTooFarApartToSubtractStillGiveARoute) {
    double course = -1.0;
    double distance = -1.0;
    geometry::GreatCircleCourseDistance(0.0, -1e308, 0.0, 1e308, course, distance);
    ASSERT_TRUE(std::isfinite(course) && std::isfinite(distance));
    const double turns = std::remainder(1e308, 360.0) - std::remainder(-1e308, 360.0);
    double nearCourse = -1.0;
    double nearDistance = -1.0;
    geometry::GreatCircleCourseDistance(0.0, 0.0, 0.0, turns, nearCourse, nearDistance);
    EXPECT_EQ(course, nearCourse);
    EXPECT_EQ(distance, nearDistance);
}

// Exact antipodes on the map's latitudes read east for +180 of longitude and
// west for -180 (pi's cut leaves the destination a hair short, to that side).
TEST(Route, AntipodesReadEastOrWest) {
    double course = -1.0;
    double distance = -1.0;
    for (double lat = -80.0; lat <= 80.0; lat += 0.25) {
        geometry::GreatCircleCourseDistance(lat, -30.0, -lat, 150.0, course, distance);
        ASSERT_NEAR(course, 90.0, 1e-3) << lat;
        ASSERT_NEAR(distance, 10800.0, 1e-6) << lat;
        geometry::GreatCircleCourseDistance(lat, 150.0, -lat, -30.0, course, distance);
        ASSERT_NEAR(course, 270.0, 1e-3) << lat;
    }
}

TEST(Route, SamePoleAtTwoLongitudesIsOnePlace) {
    double course = -1.0;
    double distance = -1.0;
    geometry::GreatCircleCourseDistance(90.0, 0.0, 90.0, 90.0, course, distance);
    EXPECT_EQ(course, 0.0);
    EXPECT_EQ(distance, 0.0);
}

// Routes a hair long and nearly antipodal ones, where arc cosines of values
// next to +-1 once lost every digit: the course to within 1e-6 degrees and the
// distance to within 1e-9 of itself. Expected values from the same spherical
// formulas in 40-digit arithmetic, with the double inputs and pi cut at
// 3.1415926535 (which moves half a turn of longitude 5.1e-9 degrees east, so
// the course 1e-5 degrees off an antipode by some hundredths of a degree).
INSTANTIATE_TEST_SUITE_P(
    Conditioning, Route,
    testing::Values(
        Conditioned("TwoTenMillionthsEast", 10.0, 20.0, 10.0, 20.0000002, 89.9999999852, 1.1817692964335205e-05),
        Conditioned("FiveHundredMillionthsNorthEast", 10.0, 20.0, 10.00000005, 20.00000005, 44.5614514080,
                    4.2105364511621941e-06),
        Conditioned("AMillionthNorthEastOnTheEquator", 0.0, 0.0, 1e-6, 1e-6, 45.0000000013, 8.4852813742385697e-05),
        Conditioned("AMillionthSouthWestOfFiftyNorth", 50.0, -3.0, 49.999999, -3.000001, 212.7324079297,
                    7.1326245474328528e-05),
        Conditioned("ATenMillionthWestOfDueNorth", 40.0, 5.0, 40.000001, 4.9999999, 355.6194440411,
                    6.0175789557176224e-05),
        // Along a meridian: the latitudes' difference taken exactly, not from their sines and cosines.
        Conditioned("AHundredMillionthDueNorth", 50.0, 7.0, 50.00000001, 7.0, 0.0, 6.00000049644222603585613e-07),
        Conditioned("AHundredMillionthDueSouth", -30.0, -7.0, -30.00000001, -7.0, 180.0, 6.00000049644222603585613e-07),
        Conditioned("NearAntipodeSouthEastOfIt", 0.0, 0.0, 1e-5, -179.99999, 314.9852650917, 10799.999151562246),
        Conditioned("NearAntipodeAcrossTheDateLine", -20.0, 40.0, 20.00001, -139.99998, 298.0108401445,
                    10799.998722730435),
        // Half a turn of longitude: the meridian rule's exact north (the
        // formulas alone, with the cut pi, give 359.97).
        Conditioned("NearAntipodeOverTheNorthPole", 30.0, 10.0, -29.99999, -170.0, 0.0, 10799.999400308627)),
    [](const auto& info) { return std::string(info.param.name); });

// ---- readout texts ----

struct TextRow {
    const char* name;
    double value;
    const char* text;
};

void PrintTo(const TextRow& row, std::ostream* os) { *os << row.name; }

class CourseText : public testing::TestWithParam<TextRow> {};
class DistanceText : public testing::TestWithParam<TextRow> {};

TEST_P(CourseText, RoundsToThreeZeroPaddedDigits) {
    EXPECT_EQ(geometry::FormatCourse(GetParam().value), std::string(GetParam().text));
}

TEST_P(DistanceText, RoundsToAtLeastFourCharacters) {
    EXPECT_EQ(geometry::FormatDistance(GetParam().value), std::string(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Edges, CourseText,
                         testing::Values(TextRow{"RoundsUpToThreeSixty", 359.6, "360\xB0"},
                                         TextRow{"RoundsDownToZero", 0.4, "000\xB0"},
                                         TextRow{"TwoDigits", 45.2, "045\xB0"},
                                         TextRow{"DueEastWithItsSmallExcess", 90.0000000026, "090\xB0"}),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Edges, DistanceText,
                         testing::Values(TextRow{"ThreeDigitsPadded", 123.4, " 123"},
                                         TextRow{"LongestDistance", 10800.0, "10800"}, TextRow{"Zero", 0.0, "   0"},
                                         TextRow{"LondonToNewYork", 3007.0463, "3007"}),
                         [](const auto& info) { return std::string(info.param.name); });

// The texts are printf's "%03.0f\xB0" and "%4.0f" in the C locale, for every
// value (ties round to even; blanks, not zeros, pad infinities and NaN), and
// stay so under a locale with a decimal comma.
TEST(ReadoutTexts, MatchPrintfInTheCLocaleAndInADecimalCommaLocale) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0,    -0.0,  0.5,     1.5,     2.5,   89.5,   359.5, 360.5, -5.0,
                             1e-300, 999.5, 10799.5, 99999.5, 1e300, -1e300, kInf,  -kInf, std::nan("")};
    const auto expect = [](double value, const char* format) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, format, value);
        return std::string(buffer);
    };
    for (const double value : values) {
        EXPECT_EQ(geometry::FormatCourse(value), expect(value, "%03.0f\xB0")) << value;
        EXPECT_EQ(geometry::FormatDistance(value), expect(value, "%4.0f")) << value;
    }
    const testsupport::DecimalCommaLocale comma;
    ASSERT_TRUE(comma.ok() && testsupport::DecimalCommaLocale::comma()) << "no locale with a decimal comma";
    EXPECT_EQ(geometry::FormatCourse(288.336), "288\xB0");
    EXPECT_EQ(geometry::FormatDistance(3007.046), "3007");
}

}  // namespace

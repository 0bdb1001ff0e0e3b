// Course and distance as the window shows them, for routes between map pixels:
// the arc-tangent routine must give every pair the texts that the arc-cosine
// routine it replaced gave (kept here as the reference). The whole map was
// compared once, through every distinct longitude difference of two columns
// and every pair of rows; this keeps a sample of it, the corners and edges and
// every antipodal pair of pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"

namespace {

// The arc-cosine routine as the readouts had it: law of cosines for the arc,
// the angle from north from the arc's sine and cosine, 1e-7 degrees of
// tolerance for coinciding points and meridians.
void ArcCosineRoute(double lat1, double lon1, double lat2, double lon2, double& course, double& distance) {
    constexpr double kD2R = 0.017453292519444445;
    constexpr double kR2D = 57.29577951471995;
    constexpr double kTolerance = 1e-7;
    const auto clamp = [](double c) { return c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c); };
    course = 0.0;
    distance = 0.0;
    const double lonDifference = lon2 - lon1;
    const double turns = std::fabs(std::remainder(lonDifference, 360.0));
    if (std::fabs(lat1 - lat2) < kTolerance && turns < kTolerance) return;
    const double dLon = std::fabs(lonDifference) < kTolerance ? kTolerance : lonDifference;
    const double phi1 = lat1 * kD2R;
    const double phi2 = lat2 * kD2R;
    const double lambda = dLon * kD2R;
    const double cosArc = std::cos(phi1) * std::cos(phi2) * std::cos(lambda) + std::sin(phi1) * std::sin(phi2);
    const double arcDegrees = std::acos(clamp(cosArc)) * kR2D;
    if (arcDegrees == 0.0) return;
    const double arc = arcDegrees * kD2R;
    distance = arcDegrees * 60.0;
    double northward = 0.0;
    if (turns < kTolerance) {
        northward = lat2 - lat1;
    } else if (std::fabs(turns - 180.0) < kTolerance) {
        northward = lat1 + lat2;
    }
    if (northward != 0.0) {
        course = northward > 0.0 ? 0.0 : 180.0;
        return;
    }
    const double ratio = (std::sin(phi2) - std::sin(phi1) * std::cos(arc)) / (std::cos(phi1) * std::sin(arc));
    const double fromNorth = std::acos(clamp(ratio)) * kR2D;
    course = std::sin(lambda) >= 0.0 ? fromNorth : 360.0 - fromNorth;
}

struct Pixel {
    int x;
    int y;
};

class MapRouteTexts : public testing::Test {
protected:
    // Counts the pairs whose texts differ, reporting the first few.
    int CountDifferences(const std::vector<std::pair<Pixel, Pixel>>& pairs) const {
        int differences = 0;
        for (const auto& [from, to] : pairs) {
            const double lat1 = latOfRow_[static_cast<std::size_t>(from.y)];
            const double lon1 = lonOfColumn_[static_cast<std::size_t>(from.x)];
            const double lat2 = latOfRow_[static_cast<std::size_t>(to.y)];
            const double lon2 = lonOfColumn_[static_cast<std::size_t>(to.x)];
            double course = -1.0;
            double distance = -1.0;
            double oldCourse = -1.0;
            double oldDistance = -1.0;
            geometry::GreatCircleCourseDistance(lat1, lon1, lat2, lon2, course, distance);
            ArcCosineRoute(lat1, lon1, lat2, lon2, oldCourse, oldDistance);
            if (geometry::FormatCourse(course) != geometry::FormatCourse(oldCourse) ||
                geometry::FormatDistance(distance) != geometry::FormatDistance(oldDistance)) {
                if (++differences <= 5) {
                    ADD_FAILURE() << "(" << from.x << "," << from.y << ") to (" << to.x << "," << to.y << "): course "
                                  << course << " was " << oldCourse << ", distance " << distance << " was "
                                  << oldDistance;
                }
            }
        }
        return differences;
    }

    void SetUp() override {
        std::string text;
        double lat = 0.0;
        for (int x = 0; x <= 634; ++x)
            geometry::PixelToGeographic(geometry::kWorldMap, x, 0, lat, lonOfColumn_[x], text);
        double lon = 0.0;
        for (int y = 0; y <= 378; ++y) geometry::PixelToGeographic(geometry::kWorldMap, 0, y, latOfRow_[y], lon, text);
    }

    std::vector<double> latOfRow_ = std::vector<double>(379);
    std::vector<double> lonOfColumn_ = std::vector<double>(635);
};

TEST_F(MapRouteTexts, RandomPairsKeepTheirTexts) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> column(0, 634);
    std::uniform_int_distribution<int> row(0, 378);
    std::vector<std::pair<Pixel, Pixel>> pairs;
    for (int i = 0; i < 300000; ++i) pairs.push_back({{column(random), row(random)}, {column(random), row(random)}});
    EXPECT_EQ(CountDifferences(pairs), 0);
}

// Corners, edges, the equator and prime meridian and their neighbours, the
// pole-ward rows: every pair among them, both ways, and each with itself.
TEST_F(MapRouteTexts, CornersAndEdgesKeepTheirTexts) {
    std::vector<Pixel> pixels;
    for (int x : {0, 1, 158, 316, 317, 318, 475, 633, 634})
        for (int y : {0, 1, 114, 168, 245, 246, 247, 377, 378}) pixels.push_back({x, y});
    std::vector<std::pair<Pixel, Pixel>> pairs;
    for (const Pixel& from : pixels)
        for (const Pixel& to : pixels) pairs.push_back({from, to});
    EXPECT_EQ(CountDifferences(pairs), 0);
}

// Rows y and 492 - y have opposite latitudes and columns 317 apart opposite
// longitudes: every such pair on the map is antipodal (or a rounding away).
TEST_F(MapRouteTexts, AntipodalPairsKeepTheirTexts) {
    std::vector<std::pair<Pixel, Pixel>> pairs;
    for (int y = 114; y <= 378; ++y)
        for (int x = 0; x + 317 <= 634; ++x) {
            pairs.push_back({{x, y}, {x + 317, 492 - y}});
            pairs.push_back({{x + 317, 492 - y}, {x, y}});
        }
    EXPECT_EQ(CountDifferences(pairs), 0);
}

}  // namespace

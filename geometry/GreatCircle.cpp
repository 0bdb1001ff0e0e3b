#include "geometry/GreatCircle.h"

#include <cmath>
#include <cstdio>

namespace geometry {

namespace {

// pi / 180 and 180 / pi with pi cut at 3.1415926535, as the readouts have always used.
constexpr double kDegreesToRadians = 0.017453292519444445;
constexpr double kRadiansToDegrees = 57.29577951471995;
// Degrees: positions closer than this coincide; also the floor of the longitude difference.
constexpr double kTolerance = 1e-7;
// Nautical miles per degree of arc (one per arc minute).
constexpr double kMilesPerDegree = 60.0;
constexpr double kFullCircle = 360.0;

// Rounding carries cosines just past +-1, where the arc cosine is undefined.
double ClampCosine(double c) {
    if (c > 1.0) return 1.0;
    if (c < -1.0) return -1.0;
    return c;
}

// True when two positions are the same place: equal latitudes and longitudes
// equal up to whole turns, so that the map's left edge (-180) meets its right
// edge (+180). Positions that differ only in the sign of a coordinate
// (20 N / 20 S, 10 W / 10 E) are distinct places and do not coincide.
bool Coincide(double lat1, double lon1, double lat2, double lon2) {
    return std::fabs(lat1 - lat2) < kTolerance && std::fabs(std::remainder(lon2 - lon1, kFullCircle)) < kTolerance;
}

// Routes along a meridian, within the tolerance: on one meridian, or over a
// pole to the opposite one. Rounding leaves the angle from north some
// millionths of a degree off 0 or 180 there, so it is set exactly instead.
// Returns false for any other route, and for antipodal positions off the poles.
bool MeridianCourse(double lat1, double lat2, double dLon, double& course) {
    const double turns = std::fabs(std::remainder(dLon, kFullCircle));
    double northward = 0.0;
    if (turns < kTolerance) {
        northward = lat2 - lat1;
    } else if (std::fabs(turns - kFullCircle / 2) < kTolerance) {
        northward = lat1 + lat2;  // the shorter way passes the nearer pole
    }
    if (northward == 0.0) return false;
    course = northward > 0.0 ? 0.0 : kFullCircle / 2;
    return true;
}

}  // namespace

void GreatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2, double& course, double& distance) {
    if (Coincide(lat1, lon1, lat2, lon2)) {
        course = 0.0;
        distance = 0.0;
        return;
    }

    // Not reduced to -180..180: the sine and cosine below do not need it.
    double lonDifference = lon2 - lon1;
    if (!std::isfinite(lonDifference)) {
        // Longitudes so far apart that the difference overflows: the same
        // meridians, whole turns nearer.
        lonDifference = std::remainder(lon2, kFullCircle) - std::remainder(lon1, kFullCircle);
    }
    double dLon = lonDifference;
    if (std::fabs(dLon) < kTolerance) dLon = kTolerance;

    const double phi1 = lat1 * kDegreesToRadians;
    const double phi2 = lat2 * kDegreesToRadians;
    const double lambda = dLon * kDegreesToRadians;

    const double cosArc = std::cos(phi1) * std::cos(phi2) * std::cos(lambda) + std::sin(phi1) * std::sin(phi2);
    const double arcDegrees = std::acos(ClampCosine(cosArc)) * kRadiansToDegrees;
    if (arcDegrees == 0.0) {
        // Too close to tell apart in double precision (or the same pole at two
        // longitudes): no direction exists, so they read as coinciding.
        course = 0.0;
        distance = 0.0;
        return;
    }
    const double arc = arcDegrees * kDegreesToRadians;

    distance = arcDegrees * kMilesPerDegree;
    if (MeridianCourse(lat1, lat2, lonDifference, course)) return;

    // Antipodal positions: every course is as short as any other; the ratio's
    // denominator nearly vanishes and rounding picks the course (about 90 from
    // 0 N 180 W to 0 N 0, 270 back): finite and within 0..360, never NaN.
    const double ratio = (std::sin(phi2) - std::sin(phi1) * std::cos(arc)) / (std::cos(phi1) * std::sin(arc));
    const double fromNorth = std::acos(ClampCosine(ratio)) * kRadiansToDegrees;
    course = std::sin(lambda) >= 0.0 ? fromNorth : kFullCircle - fromNorth;
}

std::string FormatCourse(double course) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%03.0f\xB0", course);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string FormatDistance(double distance) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%4.0f", distance);
    return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace geometry

#include "geometry/GreatCircle.h"

#include <cmath>

#include "base/FixedText.h"

namespace geometry {

namespace {

// pi / 180 and 180 / pi with pi cut at 3.1415926535, as the readouts have always used.
constexpr double kDegreesToRadians = 0.017453292519444445;
constexpr double kRadiansToDegrees = 57.29577951471995;
// Degrees of longitude: a route whose longitude difference lies this close to a
// whole or half turn runs along a meridian (or over a pole). Differences of two
// map longitudes (magnitudes up to 180) round by at most about 6e-14 degrees,
// so this catches every such pair of map pixels; it moves the course of a route
// one millionth of a degree long by at most 6e-5 degrees.
constexpr double kMeridianSlack = 1e-12;
// Nautical miles per degree of arc (one per arc minute).
constexpr double kMilesPerDegree = 60.0;
constexpr double kFullCircle = 360.0;
constexpr double kHalfCircle = 180.0;

// True when two positions are the same place: equal latitudes and longitudes
// equal up to whole turns, so that the map's left edge (-180) meets its right
// edge (+180), or one pole at two longitudes. Only these have no distance;
// positions that differ by any amount, however small, have a course.
bool Coincide(double lat1, double lat2, double turn) {
    return lat1 == lat2 && (turn == 0.0 || std::fabs(lat1) == 90.0);
}

// Routes along a meridian: on one meridian, or over a pole to the opposite
// one. Rounding (and pi's cut, which leaves the sine of half a turn at 9e-11)
// would put the course some millionths of a degree off 0 or 180, or just under
// 360, so it is set exactly instead. `turn` is the longitude difference reduced
// to -180..180. Returns false for any other route, and for antipodal positions.
bool MeridianCourse(double lat1, double lat2, double turn, double& course) {
    double northward = 0.0;
    if (std::fabs(turn) <= kMeridianSlack) {
        northward = lat2 - lat1;
    } else if (kHalfCircle - std::fabs(turn) <= kMeridianSlack) {
        northward = lat1 + lat2;  // the shorter way passes the nearer pole
    }
    if (northward == 0.0) return false;
    course = northward > 0.0 ? 0.0 : kHalfCircle;
    return true;
}

// sin(lat2 - lat1), the difference taken in degrees, where nearby latitudes
// subtract exactly. Values beyond the poles are no latitudes, and far beyond
// them the difference loses the angle; there it is formed from the latitudes'
// own sines and cosines, as the rest of the route is.
double SineOfLatitudeDifference(double lat1, double lat2) {
    if (std::fabs(lat1) <= 90.0 && std::fabs(lat2) <= 90.0) return std::sin((lat2 - lat1) * kDegreesToRadians);
    const double phi1 = lat1 * kDegreesToRadians;
    const double phi2 = lat2 * kDegreesToRadians;
    return std::sin(phi2) * std::cos(phi1) - std::cos(phi2) * std::sin(phi1);
}

}  // namespace

// The arc and the course come from two-argument arc tangents of the route's
// north and east components at the start, which stay accurate for routes a
// hair long and for nearly antipodal ones (arc cosines of values next to +-1
// lose every digit there). The angle from north (0..180) turns into a course as
// it always has: itself when the sine of the longitude difference is 0 or
// more, 360 minus it otherwise.
//
// Antipodal positions (latitudes of opposite sign, longitudes half a turn
// apart): every course is as short as any other. With pi cut at 3.1415926535 a
// longitude difference of +180 leaves the destination 9e-11 radians short of
// the antipode, to the east, so such a pair reads a course of about 090 (270 for -180) and
// 10800 nautical miles. Half a turn apart with latitudes not quite opposite,
// the route runs over the nearer pole: 000 or 180.
void GreatCircleCourseDistance(double lat1, double lon1, double lat2, double lon2, double& course, double& distance) {
    // Not reduced to -180..180 within a turn, so map positions keep their texts.
    double lonDifference = lon2 - lon1;
    if (!std::isfinite(lonDifference)) {
        // Longitudes so far apart that the difference overflows: the same
        // meridians, whole turns nearer.
        lonDifference = std::remainder(lon2, kFullCircle) - std::remainder(lon1, kFullCircle);
    }
    const double turn = std::remainder(lonDifference, kFullCircle);  // exact
    if (Coincide(lat1, lat2, turn)) {
        course = 0.0;
        distance = 0.0;
        return;
    }
    // Differences of more than a turn (never between two map positions) go
    // into the sine and cosine reduced: a radian count of 1e12 degrees keeps
    // no digit of its angle after the cut pi, and 1e12 and 280 are the same
    // meridian.
    if (std::fabs(lonDifference) > kFullCircle) lonDifference = turn;

    const double phi1 = lat1 * kDegreesToRadians;
    const double phi2 = lat2 * kDegreesToRadians;
    const double lambda = lonDifference * kDegreesToRadians;
    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double cosPhi2 = std::cos(phi2);
    const double sinLambda = std::sin(lambda);
    const double halfLambda = std::sin(lambda / 2);

    // The destination's direction seen from the start, in the start's north and
    // east; north is cos(phi1) sin(phi2) - sin(phi1) cos(phi2) cos(lambda),
    // written without the difference of nearly equal terms.
    const double east = cosPhi2 * sinLambda;
    const double north = SineOfLatitudeDifference(lat1, lat2) + 2.0 * sinPhi1 * cosPhi2 * halfLambda * halfLambda;
    const double along = cosPhi1 * cosPhi2 * std::cos(lambda) + sinPhi1 * std::sin(phi2);
    const double arcDegrees = std::atan2(std::hypot(east, north), along) * kRadiansToDegrees;
    if (arcDegrees == 0.0) {
        // Closer than a double can tell apart.
        course = 0.0;
        distance = 0.0;
        return;
    }

    distance = arcDegrees * kMilesPerDegree;
    if (MeridianCourse(lat1, lat2, turn, course)) return;

    const double fromNorth = std::atan2(std::fabs(east), north) * kRadiansToDegrees;
    course = sinLambda >= 0.0 ? fromNorth : kFullCircle - fromNorth;
}

std::string FormatCourse(double course) {
    std::string text;
    base::AppendFixed(text, course, 3, 0, true);
    return text.append(1, '\xB0');
}

std::string FormatDistance(double distance) {
    std::string text;
    base::AppendFixed(text, distance, 4, 0, false);
    return text;
}

}  // namespace geometry

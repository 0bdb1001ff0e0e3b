#include "geometry/MapProjection.h"

#include <cmath>
#include <cstdint>

#include "base/FixedText.h"

namespace geometry {

namespace {

// The map's row of the equator; the top row (0) is 80 degrees north.
constexpr int kEquatorRow = 246;
// 1/246 as a rounded constant: rows from the equator to the top.
constexpr double kPerRowFromEquator = 0.0040650406504065045;
// 63 degrees in radians with pi cut at 3.1415926535: the latitude curve's shape.
constexpr double kShapeAngle = 1.099557428725;
// 80 x 180 / pi with the same cut pi: scales the curve to 80 degrees at the top row.
constexpr double kTopLatitudePerRadian = 4583.662361177596;
// 1/63 as a rounded constant: divides out the shape angle in degrees.
constexpr double kPerShapeDegree = 0.015873015873015872;

constexpr double kFullCircle = 360.0;
constexpr double kHalfCircle = 180.0;

char Hemisphere(double value, char positive, char negative) {
    if (value > 0.0) return positive;
    if (value < 0.0) return negative;
    return ' ';  // exactly on the equator or the prime meridian
}

}  // namespace

int IsInsideMap(const MapRect& map, int x, int y) {
    // Widened so that no edge plus offset can overflow.
    const std::int64_t o = map.offset;
    if (x < map.left + o) return 0;
    if (x > map.right + o) return 0;
    if (y < map.top + o) return 0;
    if (y > map.bottom + o) return 0;
    return 1;
}

void PixelToGeographic(const MapRect& map, int x, int y, double& latitude, double& longitude, std::string& text) {
    // Map coordinates, in double so that no pixel minus offset can overflow.
    const double mapX = static_cast<double>(x) - map.offset;
    const double mapY = static_cast<double>(y) - map.offset;

    const double t = std::fabs(mapY - kEquatorRow) * kPerRowFromEquator;
    const double a = std::atan(std::tan(kShapeAngle) * t);
    double lat = a * kTopLatitudePerRadian * kPerShapeDegree;
    if (mapY == kEquatorRow) {
        lat = 0.0;
    } else if (mapY > kEquatorRow) {
        lat = -lat;  // below the equator row: south
    }
    const double lon = mapX / static_cast<double>(map.right) * kFullCircle - kHalfCircle;

    latitude = lat;
    longitude = lon;

    // "%2.0f\xB0 %c   %03.0f\xB0 %c": at most 14 characters on the map.
    text.clear();
    base::AppendFixed(text, std::fabs(lat), 2, 0, false);
    text.append("\xB0 ").append(1, Hemisphere(lat, 'N', 'S')).append("   ");
    base::AppendFixed(text, std::fabs(lon), 3, 0, true);
    text.append("\xB0 ").append(1, Hemisphere(lon, 'E', 'W'));
}

}  // namespace geometry

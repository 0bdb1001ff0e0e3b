// The map picture's scale: the readout's own pixel-to-position conversion, so
// that the place drawn at a pixel is the place the readout reports for it, and
// its inverse for drawing lines and marks at given positions.
#pragma once

#include <cmath>

#include "geometry/MapProjection.h"

namespace resgen {

// The main dialog's map rectangle: 635 columns span 360 degrees, no offset.
inline constexpr geometry::MapRect kReadoutMap{0, 0, 634, 378, 0};
inline constexpr int kMapColumns360 = kReadoutMap.right;

// The readout's position of map pixel (x, y).
inline void PixelPosition(int x, int y, double& latitude, double& longitude) {
    std::string unused;
    geometry::PixelToGeographic(kReadoutMap, x, y, latitude, longitude, unused);
}

// Fractional row of a latitude: the inverse of the readout's curve (80 degrees
// at row 0, the equator at row 246, shape angle 63 degrees).
inline double LatitudeRow(double latitude) {
    constexpr double kEquatorRow = 246.0;
    constexpr double kDegree = 3.1415926535 / 180.0;  // the readout's own pi
    return kEquatorRow - kEquatorRow * std::tan(latitude * 63.0 / 80.0 * kDegree) / std::tan(63.0 * kDegree);
}

// The readout's curve at a fractional row and column (a point between the
// readout's pixels, for pictures of more than one pixel per map pixel).
inline void FractionalPosition(double x, double y, double& latitude, double& longitude) {
    constexpr double kEquatorRow = 246.0;
    constexpr double kDegree = 3.1415926535 / 180.0;
    const double a = std::atan(std::tan(63.0 * kDegree) * std::fabs(y - kEquatorRow) / kEquatorRow);
    latitude = (y > kEquatorRow ? -1.0 : 1.0) * a / kDegree * 80.0 / 63.0;
    longitude = x / kMapColumns360 * 360.0 - 180.0;
}

// Fractional column of a longitude.
inline double LongitudeColumn(double longitude) { return (longitude + 180.0) * kMapColumns360 / 360.0; }

}  // namespace resgen

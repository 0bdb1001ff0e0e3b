// The map picture's scale: the same formula the position readout uses, so the
// place drawn at a pixel is the place the readout reports for it.
#pragma once

#include <cmath>

namespace resgen {

inline constexpr int kMapColumns360 = 634;   // columns spanning 360 degrees of longitude
inline constexpr int kEquatorRow = 246;
inline constexpr double kPi = 3.1415926535;  // the readout's own pi
inline constexpr double kShapeRadians = 1.099557428725;  // 63 degrees
inline constexpr double kShapeToLatitude = 4583.662361177596 * 0.015873015873015872;  // 80*180/pi/63

// Latitude of map row y, step for step as the readout computes it.
inline double RowLatitude(int y) {
    const double t = std::fabs(static_cast<double>(y - kEquatorRow)) * 0.0040650406504065045;
    const double a = std::atan(std::tan(kShapeRadians) * t);
    double latitude = a * 4583.662361177596 * 0.015873015873015872;
    if (y == kEquatorRow) return 0.0;
    if (y > kEquatorRow) latitude = -latitude;
    return latitude;
}

// Longitude of map column x (not wrapped: columns past 634 give more than 180).
inline double ColumnLongitude(int x) {
    return static_cast<double>(x) / static_cast<double>(kMapColumns360) * 360.0 - 180.0;
}

// The inverse: fractional row of a latitude, fractional column of a longitude.
inline double LatitudeRow(double latitude) {
    const double a = latitude / kShapeToLatitude;  // radians
    return kEquatorRow - kEquatorRow * std::tan(a) / std::tan(kShapeRadians);
}

inline double LongitudeColumn(double longitude) {
    return (longitude + 180.0) * kMapColumns360 / 360.0;
}

}  // namespace resgen

// The record the variation query fills.
#pragma once

#include <cstdint>

namespace model {

inline constexpr double kMinutesPerDegree = 60.0;

// The query's result: sixteen fields in this order. When the whole degrees are
// 0 the minutes carry the angle's sign; otherwise the degrees do and the
// minutes are >= 0.
struct MagneticElements {
    // Annual changes: the angles' in minutes of arc a year, the intensities' in nT a year.
    double declinationChange, inclinationChange, horizontalChange, northChange, eastChange, verticalChange, totalChange;
    std::int32_t declinationDegrees;
    double declinationMinutes;
    std::int32_t inclinationDegrees;
    double inclinationMinutes;
    double horizontalIntensity, northComponent, eastComponent, verticalComponent, totalIntensity;  // nT
};

// The declination of a record as one signed angle in degrees, east positive:
// 3 degrees 40.2' W (-3 and 40.2) is -3.67; 0 degrees 32' W (0 and -32) is -0.5333.
inline double SignedDeclination(const MagneticElements& e) {
    if (e.declinationDegrees < 0) return e.declinationDegrees - e.declinationMinutes / kMinutesPerDegree;
    return e.declinationDegrees + e.declinationMinutes / kMinutesPerDegree;
}

}  // namespace model

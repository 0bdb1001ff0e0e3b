// The record the variation query fills.
#pragma once

#include <cstdint>

namespace model {

// The query's result: sixteen fields in this order. Angles' changes in minutes
// of arc per year, intensities in nT. When the whole degrees are 0 the minutes
// carry the angle's sign; otherwise the degrees do and the minutes are >= 0.
struct MagneticElements {
    double declinationChange;
    double inclinationChange;
    double horizontalChange;
    double northChange;
    double eastChange;
    double verticalChange;
    double totalChange;
    std::int32_t declinationDegrees;
    double declinationMinutes;
    std::int32_t inclinationDegrees;
    double inclinationMinutes;
    double horizontalIntensity;
    double northComponent;
    double eastComponent;
    double verticalComponent;
    double totalIntensity;
};

}  // namespace model

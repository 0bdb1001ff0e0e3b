// The constants that go with a model's working type: the 1995 field's own
// single-precision values, or double precision for the models that are
// defined in it (WMM2025 and coefficient files).
#pragma once

#include <numbers>

namespace model {

template <typename Real>
struct WorkingPrecision;

template <>
struct WorkingPrecision<float> {
    static constexpr float kDegreeToRadian = 0.01745329f;
    static constexpr float kRadianToDegree = 57.29578f;
    static constexpr float kHalfTurn = 3.1415927f;  // the single-precision pi
    // Latitudes closer than 0.001 degree to a pole are taken at the guard
    // latitude, which keeps the cosine of the latitude off 0.
    static constexpr float kNorthGuardLatitude = 89.999f;
    static constexpr float kSouthGuardLatitude = -89.999f;
};

template <>
struct WorkingPrecision<double> {
    static constexpr double kDegreeToRadian = std::numbers::pi / 180.0;
    static constexpr double kRadianToDegree = 180.0 / std::numbers::pi;
    static constexpr double kHalfTurn = std::numbers::pi;
    static constexpr double kNorthGuardLatitude = 89.999;
    static constexpr double kSouthGuardLatitude = -89.999;
};

}  // namespace model

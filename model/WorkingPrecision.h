// The constants that go with a model's working type: the 1995 field's own
// single-precision values, or double precision for the models defined in it
// (WMM2025 and coefficient files).
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
    // The 1995 field takes latitudes closer than 0.001 degree to a pole at the
    // guard latitude, which keeps the cosine of the latitude off 0 (the
    // double-precision models evaluate the pole itself, the east component in
    // its limit form).
    static constexpr float kGuardLatitude = 89.999f;
};

template <>
struct WorkingPrecision<double> {
    static constexpr double kDegreeToRadian = std::numbers::pi / 180.0;
    static constexpr double kRadianToDegree = 180.0 / std::numbers::pi;
    static constexpr double kHalfTurn = std::numbers::pi;
};

}  // namespace model

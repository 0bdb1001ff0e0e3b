// How far to trust an answer: a model's error model, where it publishes one,
// and the zones where the horizontal field is too weak to steer by.
#pragma once

#include <cmath>
#include <string_view>

namespace model {

// A model's global one-sigma errors; the declination's is sqrt(declinationBase^2 + (declinationByHorizontal / H)^2).
struct ErrorModel {
    double north, east, down, horizontal, total;  // nT
    double inclination, declinationBase;          // degrees
    double declinationByHorizontal;               // degrees times nT
};

// WMM2025's error model (the WMM2025 technical report, NOAA NCEI and BGS).
inline constexpr ErrorModel kWmm2025Errors{137.0, 89.0, 141.0, 133.0, 138.0, 0.20, 0.26, 5417.0};

// The declination's one-sigma uncertainty in degrees at a horizontal intensity in nT.
inline double DeclinationUncertainty(const ErrorModel& errors, double horizontalIntensity) {
    return std::hypot(errors.declinationBase, errors.declinationByHorizontal / horizontalIntensity);
}

// Where a compass can be trusted, by the horizontal intensity (the WMM2025
// report's bounds): blackout below 2000 nT, caution from 2000 to below 6000 nT.
enum class Zone { None, Caution, Blackout };

inline Zone ZoneOf(double horizontalIntensity) {
    if (horizontalIntensity < 2000.0) return Zone::Blackout;
    return horizontalIntensity < 6000.0 ? Zone::Caution : Zone::None;
}

inline std::string_view ZoneName(Zone zone) {
    return zone == Zone::Blackout ? "blackout" : zone == Zone::Caution ? "caution" : "none";
}

}  // namespace model

#include "Uncertainty.h"

#include <cmath>

namespace model {

namespace {

// The zones' bounds of H, nT, as the WMM2025 report draws them.
constexpr double kBlackoutBelow = 2000.0;
constexpr double kCautionBelow = 6000.0;

}  // namespace

double DeclinationUncertainty(const ErrorModel& errors, double horizontalIntensity) {
    return std::hypot(errors.declinationBase, errors.declinationByHorizontal / horizontalIntensity);
}

Zone ZoneOf(double horizontalIntensity) {
    if (horizontalIntensity < kBlackoutBelow) return Zone::Blackout;
    return horizontalIntensity < kCautionBelow ? Zone::Caution : Zone::None;
}

std::string_view ZoneName(Zone zone) {
    switch (zone) {
    case Zone::Blackout: return "blackout";
    case Zone::Caution: return "caution";
    case Zone::None: break;
    }
    return "none";
}

}  // namespace model

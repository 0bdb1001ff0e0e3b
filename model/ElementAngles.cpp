// The elements from the field's components (The US/UK World Magnetic Model
// for 2025-2030 technical report, its section on the model's equations, the
// magnetic elements): H = sqrt(X^2 + Y^2), F = sqrt(H^2 + Z^2),
// I = atan2(Z, H), D = atan2(Y, X).
#include "ElementAngles.h"

#include <cmath>

#include "MagneticElements.h"
#include "WorkingPrecision.h"

namespace model {

template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker) {
    const double X = set.X;
    const double Y = set.Y;
    const double Z = set.Z;
    const double S = X * X + Y * Y;
    set.H = static_cast<Real>(std::sqrt(S));
    set.F = static_cast<Real>(std::sqrt(S + Z * Z));
    if (set.F < static_cast<Real>(kUndeterminedThreshold)) {
        set.D = set.I = undeterminedMarker;
        return;
    }
    set.I = static_cast<Real>(std::atan2(Z, static_cast<double>(set.H)));
    if (set.H < static_cast<Real>(kUndeterminedThreshold)) {
        set.D = noHorizontalMarker;
        return;
    }
    // North of east-west (X >= 0) the half-angle form 2 atan2(Y, H + X): H + X
    // >= H, so the rounding of H moves D by less than half a single-precision
    // step. South of it H + X shrinks to rounding error and took the last tenths
    // of a degree with it; there D is atan2(Y, X) from the stored components,
    // in double. A field exactly due south (Y = 0 or -0) is the working type's
    // half-turn, never minus it.
    if (X < 0.0) {
        set.D = Y == 0.0 ? WorkingPrecision<Real>::kHalfTurn : static_cast<Real>(std::atan2(Y, X));
        return;
    }
    set.D = static_cast<Real>(2.0 * std::atan2(Y, set.H + X));
}

template void ComputeElements<float>(ElementSetOf<float>&, float, float);
template void ComputeElements<double>(ElementSetOf<double>&, double, double);

template <typename Real>
void SplitAngle(Real angle, std::int32_t& degrees, double& minutes) {
    constexpr auto kIntLimit = static_cast<Real>(2147483648.0);
    if (!(std::fabs(angle) < kIntLimit)) {
        degrees = 0;
        minutes = angle;
        return;
    }
    degrees = static_cast<std::int32_t>(angle);
    const auto rest = static_cast<Real>((static_cast<double>(angle) - degrees) * static_cast<Real>(kMinutesPerDegree));
    minutes = degrees != 0 ? std::fabs(rest) : rest;
}

template void SplitAngle<float>(float, std::int32_t&, double&);
template void SplitAngle<double>(double, std::int32_t&, double&);

}  // namespace model

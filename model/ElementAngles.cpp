#include "ElementAngles.h"

#include <cmath>

#include "Coefficients.h"
#include "ModelState.h"
#include "WorkingPrecision.h"

namespace model {

std::int32_t ComputeElements(std::int32_t setCode, std::int32_t& errorFlag) {
    errorFlag = 0;
    ElementSet* set = nullptr;
    float undeterminedMarker = 0.0f;
    float noHorizontalMarker = 0.0f;
    if (setCode == kDateSet) {
        set = &modelState.dateElements;
        undeterminedMarker = kDateUndeterminedMarker;
        noHorizontalMarker = kDateUndeterminedMarker;
    } else if (setCode == kNextYearSet) {
        set = &modelState.nextYearElements;
        undeterminedMarker = kNextYearUndeterminedMarker;
        noHorizontalMarker = kNextYearNoHorizontalMarker;
    } else {
        errorFlag = 1;
        return setCode;
    }

    ComputeElements(*set, undeterminedMarker, noHorizontalMarker);
    return setCode;
}

template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker) {
    const double X = set.X;
    const double Y = set.Y;
    const double Z = set.Z;
    const double S = X * X + Y * Y;
    set.H = static_cast<Real>(std::sqrt(S));
    set.F = static_cast<Real>(std::sqrt(S + Z * Z));
    if (set.F < static_cast<Real>(kUndeterminedThreshold)) {
        set.D = undeterminedMarker;
        set.I = undeterminedMarker;
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

}  // namespace model

#include "ElementAngles.h"

#include <cmath>

#include "Coefficients.h"
#include "ModelState.h"

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

    const double X = set->X;
    const double Y = set->Y;
    const double Z = set->Z;
    const double S = X * X + Y * Y;
    set->H = static_cast<float>(std::sqrt(S));
    set->F = static_cast<float>(std::sqrt(S + Z * Z));
    if (set->F < kUndeterminedThreshold) {
        set->D = undeterminedMarker;
        set->I = undeterminedMarker;
        return setCode;
    }
    set->I = static_cast<float>(std::atan2(Z, static_cast<double>(set->H)));
    if (set->H < kUndeterminedThreshold) {
        set->D = noHorizontalMarker;
        return setCode;
    }
    // Half-angle form of atan2(Y, X); it needs H + X away from 0.
    const double U = set->H + X;
    if (U < kUndeterminedThreshold) {
        set->D = kHalfTurn;
        return setCode;
    }
    set->D = static_cast<float>(2.0 * std::atan2(Y, U));
    return setCode;
}

}  // namespace model

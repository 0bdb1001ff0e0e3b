// Angles and intensities of an element set from its X, Y, Z, and the split of
// an angle into degrees and minutes.
#pragma once

#include <cstdint>

#include "ModelState.h"

namespace model {

// Threshold below which F or H leaves the field's direction undetermined, nT.
inline constexpr float kUndeterminedThreshold = 0.0001f;
// Markers stored instead of angles that cannot be determined: 999 degrees in
// radians (999 * 57.29578 in single precision) for the date's set, plain
// numbers for the next year's.
inline constexpr float kDateUndeterminedMarker = 57238.484375f;
inline constexpr float kNextYearUndeterminedMarker = 999.0f;
inline constexpr float kNextYearNoHorizontalMarker = 9990.0f;

// Reads X, Y, Z of the set and writes its H, F and, where they are determined,
// D and I in radians (the markers otherwise).
template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker);

// Whole degrees of an angle in degrees, truncated toward zero, and the rest in
// minutes rounded to Real: non-negative unless the whole degrees are 0, where
// they keep the sign. An angle that is no number or beyond an int gives 0
// degrees and its value as minutes rather than an undefined conversion.
template <typename Real>
void SplitAngle(Real angle, std::int32_t& degrees, double& minutes);

}  // namespace model

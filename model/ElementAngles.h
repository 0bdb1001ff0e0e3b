// Angles and intensities of an element set from its X, Y, Z.
#pragma once

#include <cstdint>

#include "ModelState.h"

namespace model {

// Threshold below which F or H leaves the field's direction undetermined, nT.
inline constexpr float kUndeterminedThreshold = 0.0001f;
// The single-precision half-turn, D of a due-south horizontal field.
inline constexpr float kHalfTurn = 3.1415927f;
// Markers stored instead of angles that cannot be determined: 999 degrees in
// radians (999 * 57.29578 in single precision) for the date's set, plain
// numbers for the next year's.
inline constexpr float kDateUndeterminedMarker = 57238.484375f;
inline constexpr float kNextYearUndeterminedMarker = 999.0f;
inline constexpr float kNextYearNoHorizontalMarker = 9990.0f;

// Reads X, Y, Z of dateElements (set code 3) or nextYearElements (4) and writes
// its H, F and, where they are determined, D and I in radians (markers
// otherwise). Returns the set code; any other code sets errorFlag to 1 and
// changes nothing.
std::int32_t ComputeElements(std::int32_t setCode, std::int32_t& errorFlag);

// The same for one set of any working type, with the set's two markers.
template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker);

}  // namespace model

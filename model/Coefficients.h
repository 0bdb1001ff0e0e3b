// A model's coefficient records in working order, extrapolated to a date.
#pragma once

#include <cstdint>
#include <span>

#include "FieldModel.h"
#include "ModelState.h"

namespace model {

// Copies the first degree(degree+3)/2 records of table into target in working
// order, each rounded to Real: the main-field columns g, h, or the secular
// variation gdot, hdot. False at the first record out of degree-major order,
// or missing (the entries before it stay stored). A degree above
// kMaxCoefficientDegree is cut to it.
template <typename Real>
[[nodiscard]] bool LoadRecords(std::span<const CoefficientRecord> table, bool mainColumns, std::int32_t degree,
                               CoefficientArrayOf<Real>& target);

// Forms mainField + (d - epoch) * secularVariation into dateCoefficients for
// d = date and into nextYearCoefficients for d = nextDate. Degrees above the
// secular variation keep their epoch values; degrees above the main field grow
// from 0. Returns the larger degree, which the synthesis takes as its degree.
template <typename Real>
std::int32_t ExtrapolateBothSets(ModelStateOf<Real>& state, Real date, Real nextDate, Real epoch,
                                 std::int32_t mainDegree, std::int32_t secularDegree);

}  // namespace model

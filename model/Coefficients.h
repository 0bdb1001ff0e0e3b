// Loading the coefficient table into the working arrays and extrapolating it to a date.
#pragma once

#include <cstdint>
#include <span>

#include "CoefficientRecord.h"
#include "ModelState.h"

namespace model {

// Column choice of LoadCoefficients: this value takes g, h; any other gdot, hdot.
inline constexpr std::int32_t kMainFieldColumns = 1;
inline constexpr std::int32_t kSecularVariationColumns = 0;

// Selector codes for the arrays and element sets of ModelState.
inline constexpr std::int32_t kMainFieldTarget = 1;
inline constexpr std::int32_t kSecularVariationTarget = 2;
inline constexpr std::int32_t kDateSet = 3;
inline constexpr std::int32_t kNextYearSet = 4;

// LoadCoefficients' result when a record is out of degree-major order.
inline constexpr std::int32_t kTableOutOfOrder = -2;

// Copies the first degree(degree+3)/2 records of the built-in table, main-field
// or secular-variation columns, into the target array (1 mainField, 2
// secularVariation) in working order. Returns 0, or -2 at the first record whose
// degree or order is not the expected one (earlier entries stay stored). An
// invalid target stores nothing and sets errorFlag to 1; the records are still checked.
std::int32_t LoadCoefficients(std::int32_t columnChoice, std::int32_t degree, std::int32_t targetCode,
                              std::int32_t& errorFlag);

// The same from a caller's table; a table too short for the degree ends the
// load with -2 where its records run out.
std::int32_t LoadCoefficients(std::span<const CoefficientRecord> table, std::int32_t columnChoice, std::int32_t degree,
                              std::int32_t targetCode, std::int32_t& errorFlag);

// Forms mainField + (date - epoch) * secularVariation into dateCoefficients (set
// code 3) or nextYearCoefficients (4). Returns the larger degree, which the
// synthesis takes as its degree; an invalid set code stores nothing, sets
// errorFlag to 1 and still returns that degree.
std::int32_t ExtrapolateCoefficients(float date, float epoch, std::int32_t mainDegree, std::int32_t secularDegree,
                                     std::int32_t setCode, std::int32_t& errorFlag);

// ExtrapolateCoefficients with set code 3 for date and set code 4 for
// nextDate in one pass over the arrays, with the same results as the two calls.
std::int32_t ExtrapolateBothSets(float date, float nextDate, float epoch, std::int32_t mainDegree,
                                 std::int32_t secularDegree);

// The engine's own forms for any working type (float or double):

// Copies the first degree(degree+3)/2 records of table, main-field or
// secular-variation columns, into target in working order, each rounded to
// Real. Returns 0, or -2 at the first record out of order or missing; nullptr
// stores nothing and sets errorFlag to 1.
template <typename Real>
std::int32_t LoadRecords(std::span<const CoefficientRecord> table, std::int32_t columnChoice, std::int32_t degree,
                         CoefficientArrayOf<Real>* target, std::int32_t& errorFlag);

// Extrapolates state's main field and secular variation to date and nextDate
// into its date and next-year arrays; returns the larger degree.
template <typename Real>
std::int32_t ExtrapolateBothSets(ModelStateOf<Real>& state, Real date, Real nextDate, Real epoch,
                                 std::int32_t mainDegree, std::int32_t secularDegree);

}  // namespace model

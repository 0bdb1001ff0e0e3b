#include "ModelDate.h"

namespace model {

namespace {

constexpr double kMonthsPerYear = 12.0;
constexpr double kDaysPerYear = 365.0;

}  // namespace

// Evaluated left to right as the window always has: (year + month / 12) + day / 365.
double ModelYear(int year, int month, int day) { return year + month / kMonthsPerYear + day / kDaysPerYear; }

}  // namespace model

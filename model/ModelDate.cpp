#include "ModelDate.h"

namespace model {

namespace {

constexpr double kMonthsPerYear = 12.0;
constexpr double kDaysPerYear = 365.0;

// Gregorian leap years: every fourth, but not the centuries other than every fourth.
constexpr bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

// Evaluated left to right as the window always has: (year + month / 12) + day / 365.
double ModelYear(int year, int month, int day) { return year + month / kMonthsPerYear + day / kDaysPerYear; }

double DecimalYear(int year, int month, int day) {
    // Days before the first of each month in a common year.
    constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const bool leap = IsLeapYear(year);
    const int dayOfYear = kDaysBefore[month - 1] + (leap && month > 2 ? 1 : 0) + day;
    return year + (dayOfYear - 1) / (leap ? kDaysPerYear + 1.0 : kDaysPerYear);
}

}  // namespace model

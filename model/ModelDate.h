// The model's date: a calendar day turned into the decimal year the query takes. The caller checks the day exists.
#pragma once

namespace model {

// The window's own day count, evaluated left to right as it always was:
// (year + month / 12) + day / 365, so 1 January 1997 is 1997.0861.
inline double ModelYear(int year, int month, int day) { return year + month / 12.0 + day / 365.0; }

// The decimal year as the field models count it: year + (day of the year - 1)
// / (days in that year), so 2026-12-09 is 2026.93699 and 31 December 2029
// still lies before 2030.0. Gregorian leap years.
inline double DecimalYear(int year, int month, int day) {
    constexpr int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};  // common year
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int dayOfYear = kDaysBefore[month - 1] + (leap && month > 2 ? 1 : 0) + day;
    return year + (dayOfYear - 1) / (leap ? 366.0 : 365.0);
}

}  // namespace model

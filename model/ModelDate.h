// The model's date: a calendar day turned into the decimal year the query takes.
#pragma once

namespace model {

// The window's own day count: year + month / 12 + day / 365, with month 1..12
// and day 1..31 as the calendar gives them (so 1 January 1997 is 1997.0861
// and 31 December 1997 is 1998.0849). The caller checks the day exists.
double ModelYear(int year, int month, int day);

// The decimal year as the field models count it: year + (day of the year - 1)
// / (days in that year), so 1 January is the whole year, 2026-12-09 is
// 2026.93699 and 31 December 2029 still lies before 2030.0. The caller checks
// the day exists.
double DecimalYear(int year, int month, int day);

}  // namespace model

// The words of a request that are not plain numbers: latitudes and longitudes
// (decimal degrees with a sign or a hemisphere letter, or degrees, minutes and
// seconds) and dates (a decimal year, an ISO date or "now").
#pragma once

#include "NumberParser.h"

#include <string_view>

namespace query {

// A day of the calendar, month 1..12 and day 1..31.
struct CalendarDate {
    int year;
    int month;
    int day;
};

// Where "now" comes from; tests hand in a fixed day.
using DateSource = CalendarDate (*)();

// Today's date in the local time zone, as the window takes it.
CalendarDate LocalToday();

// A latitude in degrees, north positive, within -90..90. Forms: "51.5",
// "-51.5", "51.5N", "51.5S", "51d30'N", "51\xC2\xB030'15\"N", "51:30:15N";
// the letter may be lower case. A sign and a letter may stand together only
// when they agree ("-51.5S"); E or W is refused.
ParseError ParseLatitude(std::string_view word, double& degrees);

// A longitude in degrees, east positive, in the same forms with E and W; any
// size (the callers bring it round).
ParseError ParseLongitude(std::string_view word, double& degrees);

// A decimal year ("1997.5"), an ISO date ("2026-12-09", checked against the
// calendar, leap years included) or "now" (today from `today`). Dates become
// decimal years by model::ModelYear, the window's own day count.
ParseError ParseDate(std::string_view word, DateSource today, double& year);

}  // namespace query

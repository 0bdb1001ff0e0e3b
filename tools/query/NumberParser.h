// Strict parsing of the numbers on a request: the whole word, nothing else.
#pragma once

#include <string_view>

namespace query {

enum class ParseError {
    None,
    NotANumber,         // empty, trailing junk, or no digits at all
    NotFinite,          // nan, inf, infinity
    OutOfRange,         // beyond what the type holds
    NotAnAngle,         // degrees, minutes and seconds that do not fit together
    SixtyOrMore,        // minutes or seconds of 60 or more
    SignAgainstLetter,  // "-5N", "+5W": the sign and the hemisphere say different things
    LongitudeLetter,    // E or W on a latitude
    LatitudeLetter,     // N or S on a longitude
    BeyondPole,         // a latitude outside -90..90
    NotADate,           // neither a decimal year, nor YYYY-MM-DD, nor now
    NoSuchDay,          // YYYY-MM-DD with a month outside 1..12 or a day past the month's end
};

// A decimal or exponent-form real; one leading '+' is allowed. A number too
// small for a double reads as zero with its sign (-1e-400 is -0.0); one too
// large is OutOfRange.
ParseError ParseReal(std::string_view word, double& value);

// A decimal integer that fits in int; one leading '+' is allowed.
ParseError ParseInteger(std::string_view word, int& value);

// The error's wording after the argument's name, e.g. "is not a number".
std::string_view Describe(ParseError error);

}  // namespace query

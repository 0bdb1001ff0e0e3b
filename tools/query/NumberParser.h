// Strict parsing of the numbers on a request: the whole word, nothing else.
#pragma once

#include <string_view>

namespace query {

enum class ParseError {
    None,
    NotANumber,  // empty, trailing junk, or no digits at all
    NotFinite,   // nan, inf, infinity
    OutOfRange,  // beyond what the type holds
};

// A decimal or exponent-form real; one leading '+' is allowed.
ParseError ParseReal(std::string_view word, double& value);

// A decimal integer that fits in int; one leading '+' is allowed.
ParseError ParseInteger(std::string_view word, int& value);

// The error's wording after the argument's name, e.g. "is not a number".
std::string_view Describe(ParseError error);

}  // namespace query

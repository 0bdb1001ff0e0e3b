#include "NumberParser.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace query {

namespace {

// from_chars takes no '+', but people type one; a lone or doubled sign stays junk.
std::string_view WithoutPlus(std::string_view word) {
    if (word.size() > 1 && word[0] == '+' && word[1] != '+' && word[1] != '-') word.remove_prefix(1);
    return word;
}

}  // namespace

ParseError ParseReal(std::string_view word, double& value) {
    word = WithoutPlus(word);
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) return ParseError::OutOfRange;
    if (ec != std::errc() || ptr != end || word.empty()) return ParseError::NotANumber;
    if (!std::isfinite(value)) return ParseError::NotFinite;
    return ParseError::None;
}

ParseError ParseInteger(std::string_view word, int& value) {
    word = WithoutPlus(word);
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    if (ec == std::errc::result_out_of_range) return ParseError::OutOfRange;
    if (ec != std::errc() || ptr != end || word.empty()) return ParseError::NotANumber;
    return ParseError::None;
}

std::string_view Describe(ParseError error) {
    switch (error) {
    case ParseError::None: return "is fine";
    case ParseError::NotANumber: return "is not a number";
    case ParseError::NotFinite: return "is not a finite number";
    case ParseError::OutOfRange: return "is out of range";
    }
    return "is not a number";
}

}  // namespace query

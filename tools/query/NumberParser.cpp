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

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// For a well-formed real that from_chars found out of range: true when it is
// too small for a double (its first significant digit lies right of the
// decimal point once the exponent is applied), false when it is too large.
bool IsBelowOne(std::string_view word) {
    if (!word.empty() && word[0] == '-') word.remove_prefix(1);
    long long lead = 0;  // decimal exponent of the first non-zero digit, before the written exponent
    long long fractionDigits = 0;
    bool seenPoint = false;
    bool found = false;
    std::size_t i = 0;
    for (; i < word.size() && (IsDigit(word[i]) || word[i] == '.'); ++i) {
        if (word[i] == '.') {
            seenPoint = true;
            continue;
        }
        if (seenPoint) ++fractionDigits;
        if (!found && word[i] != '0') {
            found = true;
            lead = seenPoint ? -fractionDigits : 0;
        } else if (found && !seenPoint) {
            ++lead;
        }
    }
    long long written = 0;
    if (i < word.size()) {  // 'e' or 'E', an optional sign, digits
        ++i;
        bool negative = false;
        if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
        for (; i < word.size(); ++i) {
            // Beyond a billion the written exponent alone decides.
            if (written < 1'000'000'000) written = written * 10 + (word[i] - '0');
        }
        if (negative) written = -written;
    }
    return lead + written < 0;
}

}  // namespace

ParseError ParseReal(std::string_view word, double& value) {
    word = WithoutPlus(word);
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range && ptr == end) {
        if (!IsBelowOne(word)) return ParseError::OutOfRange;
        // Smaller than the least double: it reads as zero, with its sign (-1e-400 is -0.0).
        value = word[0] == '-' ? -0.0 : 0.0;
        return ParseError::None;
    }
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
    case ParseError::NotAnAngle: return "is not an angle (write 51.5, 51d30'N or 51:30:00N)";
    case ParseError::SixtyOrMore: return "has minutes or seconds of 60 or more";
    case ParseError::SignAgainstLetter: return "has a sign that contradicts its hemisphere letter";
    case ParseError::LongitudeLetter: return "has a longitude's letter (E or W)";
    case ParseError::LatitudeLetter: return "has a latitude's letter (N or S)";
    case ParseError::BeyondPole: return "is outside -90..90";
    case ParseError::NotADate: return "is not a date (a decimal year, YYYY-MM-DD or now)";
    case ParseError::NoSuchDay: return "is not a day of the calendar";
    }
    return "is not a number";
}

}  // namespace query

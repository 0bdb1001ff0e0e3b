#include "VariationText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace model {

namespace {

// Appends value as printf's "%<width>.1f" gives it in the C locale: always a
// decimal point, never the process locale's comma (Qt installs the locale from
// the environment). Blanks pad on the left.
void AppendTenths(std::string& out, double value, std::size_t width) {
    char digits[400];  // the longest double in fixed notation is 309 digits plus sign and tenths
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 1);
    const std::size_t length = error == std::errc{} ? static_cast<std::size_t>(end - digits) : 0;
    out.append(width > length ? width - length : 0, ' ').append(digits, length);
}

}  // namespace

bool IsWestDeclination(std::int32_t degrees, double minutes) {
    // With 0 whole degrees the minutes carry the sign.
    return degrees < 0 || (degrees == 0 && minutes < 0.0);
}

std::string FormatVariation(std::int32_t degrees, double minutes) {
    // "%4lld\xB0 %4.1f' %c" of |degrees|, |minutes| and the hemisphere letter.
    const std::string wholeDegrees = std::to_string(std::llabs(static_cast<long long>(degrees)));
    std::string text(wholeDegrees.size() < 4 ? 4 - wholeDegrees.size() : 0, ' ');
    text.append(wholeDegrees).append("\xB0 ");
    AppendTenths(text, std::fabs(minutes), 4);
    text.append("' ").append(1, IsWestDeclination(degrees, minutes) ? 'W' : 'E');
    return text;
}

}  // namespace model

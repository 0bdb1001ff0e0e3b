#include "VariationText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace model {

bool IsWestDeclination(std::int32_t degrees, double minutes) {
    // With 0 whole degrees the minutes carry the sign.
    return degrees < 0 || (degrees == 0 && minutes < 0.0);
}

std::string FormatVariation(std::int32_t degrees, double minutes) {
    const long long wholeDegrees = std::llabs(static_cast<long long>(degrees));
    const double restMinutes = std::fabs(minutes);
    const char hemisphere = IsWestDeclination(degrees, minutes) ? 'W' : 'E';
    constexpr const char* kFormat = "%4lld\xB0 %4.1f' %c";
    const int length = std::snprintf(nullptr, 0, kFormat, wholeDegrees, restMinutes, hemisphere);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, kFormat, wholeDegrees, restMinutes, hemisphere);
    return text;
}

}  // namespace model

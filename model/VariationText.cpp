#include "VariationText.h"

#include "base/FixedText.h"

#include <cmath>
#include <cstdlib>

namespace model {

bool IsWestDeclination(std::int32_t degrees, double minutes) {
    // With 0 whole degrees the minutes carry the sign.
    return degrees < 0 || (degrees == 0 && minutes < 0.0);
}

std::string FormatVariation(std::int32_t degrees, double minutes) {
    // "%4lld\xB0 %4.1f' %c" of |degrees|, |minutes| and the hemisphere letter.
    const std::string wholeDegrees = std::to_string(std::llabs(static_cast<long long>(degrees)));
    std::string text(wholeDegrees.size() < 4 ? 4 - wholeDegrees.size() : 0, ' ');
    text.append(wholeDegrees).append("\xB0 ");
    base::AppendFixed(text, std::fabs(minutes), 4, 1, false);
    text.append("' ").append(1, IsWestDeclination(degrees, minutes) ? 'W' : 'E');
    return text;
}

}  // namespace model

// The variation readout's text for a declination split into whole degrees and minutes.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/FixedText.h"

namespace model {

// True when the declination is west: negative degrees, or 0 degrees and negative minutes; exactly 0 is east.
inline bool IsWestDeclination(std::int32_t degrees, double minutes) {
    return degrees < 0 || (degrees == 0 && minutes < 0.0);
}

// "%4d\xB0 %4.1f' %c" of |degrees|, |minutes| and W or E; degree sign 0xB0.
inline std::string FormatVariation(std::int32_t degrees, double minutes) {
    std::string text = std::to_string(std::llabs(static_cast<long long>(degrees)));
    text.insert(0, text.size() < 4 ? 4 - text.size() : 0, ' ').append("\xB0 ");
    base::AppendFixed(text, std::fabs(minutes), 4, 1, false);
    text.append("' ").append(1, IsWestDeclination(degrees, minutes) ? 'W' : 'E');
    return text;
}

}  // namespace model

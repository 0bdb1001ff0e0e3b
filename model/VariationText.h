// The variation readout's text for a declination split into whole degrees and minutes.
#pragma once

#include <cstdint>
#include <string>

namespace model {

// True when the declination is west: negative degrees, or 0 degrees and
// negative minutes. Exactly 0 counts as east.
bool IsWestDeclination(std::int32_t degrees, double minutes);

// "%4d\xB0 %4.1f' %c" of |degrees|, |minutes| and W or E; degree sign 0xB0.
std::string FormatVariation(std::int32_t degrees, double minutes);

}  // namespace model

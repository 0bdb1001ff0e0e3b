// The variation readout's text written without printf: byte for byte what
// model::FormatVariation gives, at a fraction of its cost per answer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace query {

// Where the text is kept: the bytes for a declination's minutes, the string for
// anything else (huge or not finite minutes, written by the model itself).
struct ReadoutRoom {
    std::array<char, 48> bytes;
    std::string other;
};

// "%4lld\xB0 %4.1f' %c" of |degrees|, |minutes| (rounded to nearest, ties to
// even, on the exact binary value, as printf does) and W or E, kept in `room`.
std::string_view VariationText(std::int32_t degrees, double minutes, ReadoutRoom& room);

}  // namespace query

#include "ReadoutText.h"

#include "model/VariationText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace query {

namespace {

// Minutes beyond this (or not finite) go the model's own way; a declination never has them.
constexpr double kLargestMinutes = 1e9;

// Right-aligns text in a field of at least `width` bytes, as printf's %4 does.
char* WritePadded(char* out, std::string_view text, std::size_t width) {
    if (text.size() < width) out = std::fill_n(out, width - text.size(), ' ');
    return std::copy(text.begin(), text.end(), out);
}

// round(value·10), ties to even, exactly: value = mantissa·2^exponent, so
// value·10 = mantissa·10·2^exponent with mantissa·10 < 2^57.
std::uint64_t TenthsRounded(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
    if (biasedExponent == 0) return 0;  // zero or subnormal: far below 0.05
    const std::uint64_t scaled = ((bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52)) * 10;
    const int exponent = biasedExponent - 1075;
    if (exponent >= 0) return scaled << exponent;  // value < 1e9: no overflow
    const int shift = -exponent;
    if (shift >= 58) return 0;  // value·10 < 1/2
    const std::uint64_t whole = scaled >> shift;
    const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    return whole + ((rest > half || (rest == half && (whole & 1) != 0)) ? 1 : 0);
}

}  // namespace

std::string_view VariationText(std::int32_t degrees, double minutes, ReadoutRoom& room) {
    const double restMinutes = std::fabs(minutes);
    if (!(restMinutes < kLargestMinutes)) {
        room.other = model::FormatVariation(degrees, minutes);
        return room.other;
    }
    char number[24] = {};
    char* out = room.bytes.data();
    const long long wholeDegrees = std::llabs(static_cast<long long>(degrees));
    out = WritePadded(out, {number, std::to_chars(number, number + sizeof number, wholeDegrees).ptr}, 4);
    *out++ = '\xB0';
    *out++ = ' ';
    const std::uint64_t tenths = TenthsRounded(restMinutes);
    // At most 17 digits before the point (minutes below 1e9); the point and one digit follow.
    const std::size_t whole = static_cast<std::size_t>(std::to_chars(number, number + 20, tenths / 10).ptr - number);
    number[whole] = '.';
    number[whole + 1] = static_cast<char>('0' + tenths % 10);
    out = WritePadded(out, {number, whole + 2}, 4);
    *out++ = '\'';
    *out++ = ' ';
    *out++ = model::IsWestDeclination(degrees, minutes) ? 'W' : 'E';
    return {room.bytes.data(), static_cast<std::size_t>(out - room.bytes.data())};
}

}  // namespace query

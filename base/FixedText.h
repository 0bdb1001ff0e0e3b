// Fixed-point number text for the readouts, the same in every locale: the one
// "%w.pf" of the position, course, distance and variation texts. Header only,
// standard library only, so that model/ and geometry/ can share it and still
// depend on nothing else.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>

namespace base {

// What printf's "%<width>.<precision>f" (and "%0<width>.<precision>f" with
// zeroFill) gives in the C locale: a point, never the process locale's decimal
// comma, which Qt installs from the environment. Zeros go after the sign;
// infinities and NaN are padded with blanks, as printf pads them.
inline void AppendFixed(std::string& out, double value, int width, int precision, bool zeroFill) {
    char digits[400];  // the longest double in fixed notation is 309 digits plus a sign
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision);
    const std::size_t length = error == std::errc{} ? static_cast<std::size_t>(end - digits) : 0;
    const std::size_t pad = width > 0 && static_cast<std::size_t>(width) > length ? width - length : 0;
    if (zeroFill && std::isfinite(value)) {
        const std::size_t sign = length > 0 && digits[0] == '-' ? 1 : 0;
        out.append(digits, sign).append(pad, '0').append(digits + sign, length - sign);
    } else {
        out.append(pad, ' ').append(digits, length);
    }
}

}  // namespace base

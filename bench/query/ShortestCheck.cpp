// A check run by hand, too long for the tests: dexlin-query's number writer
// against std::to_chars's shortest form over many millions of doubles. Prints
// the first differences and how many values it compared; exits 1 on any.
//
//   build/bench/dexlin-shortest-check [millions]   (default 100)
#include "OutputBuffer.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string_view>

namespace {

long long compared = 0;
long long failures = 0;

std::string_view ToChars(char* text, double value) {
    return {text, static_cast<std::size_t>(std::to_chars(text, text + 32, value).ptr - text)};
}

void Fail(const char* what, double value, std::string_view got, std::string_view expected) {
    if (++failures <= 20) {
        std::printf("%s %a: \"%.*s\", to_chars \"%.*s\"\n", what, value, static_cast<int>(got.size()), got.data(),
                    static_cast<int>(expected.size()), expected.data());
    }
}

// WriteShortest always, and WriteShortestFixed over its range, where it may
// decline only a whole number ending in 0.
void Check(double value) {
    char expectedText[32];
    const std::string_view expected = ToChars(expectedText, value);
    char text[query::kShortestRoom];
    const std::string_view shortest(text, static_cast<std::size_t>(query::WriteShortest(text, value) - text));
    if (shortest != expected) Fail("WriteShortest", value, shortest, expected);
    char fixedText[query::kShortestRoom];
    const char* const end = query::WriteShortestFixed(fixedText, value);
    const double magnitude = std::fabs(value);
    const bool inRange = magnitude >= 1e-3 && magnitude < 1e15;
    if (end == nullptr) {
        const bool wholeEndingInZero =
            value == std::trunc(value) && (expected.back() == '0' || expected.find('e') != std::string_view::npos);
        if (inRange && !wholeEndingInZero) Fail("WriteShortestFixed declined", value, "", expected);
    } else {
        const std::string_view fixed(fixedText, static_cast<std::size_t>(end - fixedText));
        if (!inRange || fixed != expected) Fail("WriteShortestFixed", value, fixed, expected);
    }
    ++compared;
}

}  // namespace

int main(int argc, char** argv) {
    const long long millions = argc > 1 ? std::atoll(argv[1]) : 100;
    std::mt19937_64 random(20250611);
    const auto unit = [&random] { return static_cast<double>(random() >> 11) * 0x1p-53; };
    for (long long i = 0; i < millions * 1000000 / 8; ++i) {
        const std::uint64_t bits = random();
        const double sign = (bits & 1) != 0 ? -1.0 : 1.0;
        // Every binary exponent of the range alike, 2^-10 to 2^50, any mantissa.
        const int exponent = static_cast<int>((bits >> 1) % 61) - 10;
        Check(sign * std::ldexp(1.0 + unit(), exponent));
        // Spread by decimal magnitude, 10^-3.5 to 10^15.5: the range and past its ends.
        Check(sign * std::pow(10.0, unit() * 19.0 - 3.5));
        // The answers' own sizes: changes, angles, intensities.
        Check(sign * unit() * 200.0);
        Check(sign * unit() * 70000.0);
        // Any single-precision value, as a single-precision model's elements are.
        Check(std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 32)));
        // Short decimals and their neighbours: a text ending in zeros, or one digit more.
        const double decimal = std::round(unit() * 1e6) / 1e3;
        Check(sign * decimal);
        Check(std::nextafter(decimal, 0.0));
        Check(std::nextafter(decimal, 1e300));
    }
    // Values exactly halfway between two 17-digit texts: value·10^p = n + 1/2,
    // m·2^-s with s - p - 1 trailing zero bits in m (p as WriteShortestFixed takes it).
    for (int shift = 3; shift <= 62; ++shift) {
        const int p = static_cast<int>(std::ceil(shift * std::log10(2.0)));
        const int zeros = shift - p - 1;
        if (zeros < 0 || zeros > 52) continue;
        for (int i = 0; i < 100000; ++i) {
            const std::uint64_t odd = ((random() >> (12 + zeros)) | (std::uint64_t{1} << (52 - zeros))) | 1;
            Check(std::ldexp(static_cast<double>(odd << zeros), -shift));
        }
    }
    // Powers of two and ten and their neighbours, across the range.
    for (int exponent = -12; exponent <= 52; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        for (const double value : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300)}) Check(value);
    }
    for (int exponent = -4; exponent <= 16; ++exponent) {
        const double power = std::pow(10.0, exponent);
        for (const double value : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300)}) Check(value);
    }
    std::printf("%lld values compared, %lld differ\n", compared, failures);
    return failures == 0 ? 0 : 1;
}

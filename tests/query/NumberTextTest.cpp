// dexlin-query's own number writer against the text it stands in for:
// std::to_chars's shortest form, byte for byte.
#include "OutputBuffer.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Shortest(double value) {
    char text[query::kShortestRoom];
    return {text, query::WriteShortest(text, value)};
}

std::string ToChars(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

TEST(ShortestNumber, EdgesOfFixedAndScientificMatchToChars) {
    const double rows[] = {0.5, -0.5, 0.25, 0.001, 0.0001, 0.00048828125,  // 2^-11: fixed and scientific both 13 long
                           0.0009765625, 1.0 / 1024 / 1024, 100000, 123456, 5400, 1e15, 1e16, 123456789012345678.0,
                           9007199254740991.0, 9007199254740992.0, 9007199254740994.0, 4503599627370495.5, 1.0 / 3, 0.1,
                           0.2, 0.3, 58.77528381347656, 15577.6689453125, 6.501953125, -77.26171875, 0.0, -0.0, 5e-324,
                           2.2250738585072014e-308, std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(),
                           // The largest odd multiples of 2^-s whose exact decimal expansion is the shortest text.
                           std::ldexp(1073741823.0, -13), std::ldexp(1073741823.0, -14), std::ldexp(3.0, -26),
                           std::ldexp(3.0, -27), std::ldexp(3.0, -28), std::ldexp(1.0, -28), std::ldexp(1.0, -29),
                           // The general path's range, 0.001 up to 10^15, at and one step past its ends; powers
                           // of two (a narrower step below); whole numbers it leaves to scientific notation.
                           1e-3, std::nextafter(1e-3, 0.0), std::nextafter(1e-3, 1.0), 1e15, std::nextafter(1e15, 0.0),
                           std::nextafter(1e15, 1e16), std::ldexp(1.0, -10), std::nextafter(std::ldexp(1.0, -10), 0.0),
                           std::ldexp(1.0, 49), std::nextafter(std::ldexp(1.0, 49), 1e300), 1e14, 2.5e14,
                           2.807617592998213, -0.6755740186918047, 179.99999999999997};
    for (const double value : rows) EXPECT_EQ(Shortest(value), ToChars(value)) << ToChars(value);
}

TEST(ShortestNumber, RandomFloatsShortFractionsAndDoublesMatchToChars) {
    std::mt19937_64 random(1995);
    for (int i = 0; i < 300000; ++i) {  // raised by hand to hundreds of millions (bench/RESULTS.md)
        const std::uint64_t bits = random();
        // Any single-precision value, as the model's elements are.
        const double single = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        // m·2^-s with m of up to 54 bits and s up to 40: on both sides of the exact-expansion bound.
        const double shortFraction =
            std::ldexp(static_cast<double>(bits >> (10 + bits % 50)), -static_cast<int>((bits >> 58) % 41));
        // Any double.
        const double any = std::bit_cast<double>(random());
        // A double of 16 or 17 digits from 10^-3.5 to 10^15.5, the general path's range and beyond.
        const double unit = static_cast<double>(random() >> 11) * 0x1p-53;
        const double sign = (bits & 1) != 0 ? -1.0 : 1.0;
        const double general = std::pow(10.0, unit * 19.0 - 3.5) * sign;
        // A short decimal (zeros to drop at 17 digits) and its neighbours (17 digits).
        const double decimal = std::round(unit * 1e9) / 1e3 * sign;
        // Exactly halfway between two 17-digit texts: m·2^-s with s - p - 1 trailing
        // zero bits in m, where 10^p is the general path's scale, p = ceil(s·log10 2).
        const int s = 3 + static_cast<int>((bits >> 1) % 60);
        const int zeros = s - static_cast<int>(std::ceil(s * std::log10(2.0))) - 1;
        const std::uint64_t odd = (random() >> (12 + zeros)) | (std::uint64_t{1} << (52 - zeros)) | 1;
        const double halfway = std::ldexp(static_cast<double>(odd << zeros), -s) * sign;
        for (const double value : {single, shortFraction, any, general, decimal, std::nextafter(decimal, 0.0),
                                   std::nextafter(decimal, 1e300), halfway}) {
            ASSERT_EQ(Shortest(value), ToChars(value)) << ToChars(value);
        }
    }
}

// The general path on its own: its range, and what it leaves to to_chars.
TEST(ShortestNumber, GeneralPathMatchesToCharsOverItsRangeAndDeclinesTheRest) {
    // The last two lie exactly halfway between two 17-digit texts: the even one is taken.
    std::vector<double> inRange = {
        1e-3, std::nextafter(1e15, 0.0), 0.1, 0.3, 179.99999999999997, 123.0, 620321876525566.25, 273769775637252.875};
    // Every power of two in range and its neighbours. (A power's own text is short,
    // so the narrower step below it never decides what is chosen.)
    for (int exponent = -9; exponent <= 49; ++exponent) {
        const double power = std::ldexp(1.0, exponent);
        inRange.insert(inRange.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300)});
    }
    std::mt19937_64 random(2025);
    for (int i = 0; i < 200000; ++i) {
        const double unit = static_cast<double>(random() >> 11) * 0x1p-53;
        inRange.push_back(std::pow(10.0, unit * 18.0 - 3.0) * (i % 2 != 0 ? -1.0 : 1.0));
    }
    for (const double value : inRange) {
        char text[query::kShortestRoom];
        char* const end = query::WriteShortestFixed(text, value);
        if (end == nullptr && value == std::trunc(value)) continue;  // a whole number ending in 0: left to others
        ASSERT_NE(end, nullptr) << ToChars(value);
        ASSERT_EQ(std::string(text, end), ToChars(value));
    }
    // Outside 0.001..10^15, and a whole number that to_chars writes as 1e+14.
    for (const double value : {std::nextafter(1e-3, 0.0), 1e15, -1e15, 0.0, -0.0, 1e14,
                               std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        char text[query::kShortestRoom];
        EXPECT_EQ(query::WriteShortestFixed(text, value), nullptr) << ToChars(value);
    }
}

// Room asked of a stream buffer beyond its whole 64 KiB: it must grow, not
// hand out less than asked (AddressSanitizer sees the overrun otherwise).
TEST(OutputBuffer, StreamReserveBeyondTheBufferKeepsEveryByte) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    constexpr std::size_t kLarge = 100000;
    {
        query::OutputBuffer out(stream);
        out.Append("head ");
        char* at = out.Reserve(kLarge);
        for (std::size_t i = 0; i < kLarge; ++i) *at++ = static_cast<char>('a' + i % 26);
        out.Commit(at);
        ASSERT_TRUE(out.Flush());
    }
    std::string written(5 + kLarge + 1, '\0');  // one more, to see that nothing else was written
    std::rewind(stream);
    ASSERT_EQ(std::fread(written.data(), 1, written.size(), stream), 5 + kLarge);
    std::fclose(stream);
    EXPECT_EQ(written.substr(0, 5), "head ");
    for (std::size_t i = 0; i < kLarge; ++i) ASSERT_EQ(written[5 + i], static_cast<char>('a' + i % 26)) << i;
}

}  // namespace

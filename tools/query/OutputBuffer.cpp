#include "OutputBuffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdint>

namespace query {

namespace {

// 5^k for k = 0..27, the powers that fit in 64 bits.
constexpr std::array<std::uint64_t, 28> kPowersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};
    std::uint64_t p = 1;
    for (auto& power : powers) {
        power = p;
        p *= 5;
    }
    return powers;
}();

// "00" to "99".
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

void WritePair(char* at, std::uint32_t twoDigits) { std::memcpy(at, &kDigitPairs[twoDigits * 2], 2); }

// Exactly four digits of n < 10^4 at `at`: two independent pairs.
void WriteFourDigits(char* at, std::uint32_t n) {
    WritePair(at, n / 100);
    WritePair(at + 2, n % 100);
}

// The digits of n < 10^17 ending at `end`; returns where they begin. Eight
// digits at a time are split into independent groups of four, in 32 bits:
// each step no longer waits on a 64-bit division of the whole number.
char* WriteDigitsBackward(char* end, std::uint64_t n) {
    constexpr std::uint64_t kEightDigits = 100000000;
    while (n >= kEightDigits) {
        const auto low = static_cast<std::uint32_t>(n % kEightDigits);
        n /= kEightDigits;
        end -= 8;
        WriteFourDigits(end, low / 10000);
        WriteFourDigits(end + 4, low % 10000);
    }
    auto rest = static_cast<std::uint32_t>(n);
    while (rest >= 100) {
        end -= 2;
        WritePair(end, rest % 100);
        rest /= 100;
    }
    if (rest >= 10) {
        end -= 2;
        WritePair(end, rest);
    } else {
        *--end = static_cast<char>('0' + rest);
    }
    return end;
}

// Digits are moved to their place in blocks of this size, whatever their count (at most 17).
constexpr std::size_t kDigitBlock = 24;

// The exact decimal expansion of `value`, when it is also the shortest text
// that reads back as `value` and to_chars would write it in fixed notation;
// nullptr otherwise (the caller then asks to_chars). The model's elements are
// single-precision values, most of them with a short exact expansion (15577.6689453125
// is 15951533·2^-10), where the general shortest-digit search does much needless work.
//
// value = M·2^-s with M odd, s >= 1, has the exact expansion N·10^-s with N = M·5^s,
// whose last digit is 5. Every text with fewer digits is a multiple of 10^(1-s), at
// least 5·10^-s away; none reads back as `value` when that exceeds half the spacing of
// doubles above it, 2^(E-53) with 2^E <= value: 2^(54 - bits of M) > 5^(s-1).
// Then N < 5·2^54 fits in 64 bits. A whole number below 2^53 is its own shortest digits.
char* WriteExactIfShortest(char* out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const auto biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
    if (biasedExponent == 0 || biasedExponent == 0x7FF) return nullptr;  // zero, subnormal, inf, nan
    std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    int exponent = biasedExponent - 1075;                                  // value = mantissa·2^exponent
    const auto zeros = static_cast<unsigned>(std::countr_zero(mantissa));  // at most 52
    mantissa >>= zeros;
    exponent += static_cast<int>(zeros);
    const int mantissaBits = std::bit_width(mantissa);

    std::uint64_t digits = 0;
    int fraction = 0;  // digits after the point
    if (exponent >= 0) {
        if (mantissaBits + exponent > 53) return nullptr;
        digits = mantissa << exponent;
    } else {
        if (-exponent > static_cast<int>(kPowersOfFive.size())) return nullptr;  // down to 2^-1074
        fraction = -exponent;
        if ((std::uint64_t{1} << (54 - mantissaBits)) <= kPowersOfFive[fraction - 1]) return nullptr;
        digits = mantissa * kPowersOfFive[fraction - 1] * 5;
    }

    // The digits, right-aligned before the block's worth of room that a move may read.
    char text[kDigitBlock * 2] = {};
    char* const textEnd = text + kDigitBlock;
    const char* const first = WriteDigitsBackward(textEnd, digits);
    const auto count = static_cast<int>(textEnd - first);

    // to_chars takes the shorter of fixed and scientific notation, fixed on a tie. With a
    // fraction, the last digit is 5 and the exponent has two digits: a value from 1 up
    // is always shorter fixed, one below 1 ("0.", zeros, digits) when it has at most
    // two zeros after the point (three for one digit).
    if (fraction > 0 && count <= fraction) {
        if (2 + fraction > count + (count > 1 ? 1 : 0) + 4) return nullptr;
    } else if (fraction == 0 && count > 5) {
        int significant = count;
        for (std::uint64_t n = digits; n % 10 == 0; n /= 10) --significant;
        if (significant + (significant > 1 ? 1 : 0) + 4 < count) return nullptr;
    }

    // Placed around the point in fixed-size moves; what they carry past the text is room.
    if (bits >> 63) *out++ = '-';
    if (count > fraction) {
        const int whole = count - fraction;
        std::memcpy(out, first, kDigitBlock);
        if (fraction == 0) return out + count;
        out[whole] = '.';
        std::memcpy(out + whole + 1, textEnd - fraction, kDigitBlock);
        return out + count + 1;
    }
    std::memcpy(out, "0.000", 5);  // at most three zeros follow the point
    out += 2 + (fraction - count);
    std::memcpy(out, first, kDigitBlock);
    return out + count;
}

}  // namespace

char* WriteShortest(char* out, double value) {
    if (char* end = WriteExactIfShortest(out, value)) return end;
    return std::to_chars(out, out + 32, value).ptr;
}

OutputBuffer::OutputBuffer(std::FILE* stream) : stream_(stream), buffer_(new char[kCapacity]) {}

OutputBuffer::OutputBuffer() : stream_(nullptr), buffer_(new char[kCapacity]) {}

void OutputBuffer::MakeRoom(std::size_t n) {
    if (capacity_ - used_ >= n) return;
    if (stream_ != nullptr) {
        Flush();
        return;
    }
    const std::size_t capacity = std::max(capacity_ * 2, used_ + n);
    std::unique_ptr<char[]> larger(new char[capacity]);
    std::memcpy(larger.get(), buffer_.get(), used_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
}

void OutputBuffer::AppendLong(std::string_view text) {
    if (stream_ != nullptr && text.size() > capacity_) {
        Flush();
        if (std::fwrite(text.data(), 1, text.size(), stream_) != text.size()) failed_ = true;
        return;
    }
    MakeRoom(text.size());
    std::memcpy(buffer_.get() + used_, text.data(), text.size());
    used_ += text.size();
}

void OutputBuffer::AppendReal(double value) {
    MakeRoom(kNumberRoom);
    used_ = static_cast<std::size_t>(WriteShortest(buffer_.get() + used_, value) - buffer_.get());
}

void OutputBuffer::AppendInteger(long long value) {
    MakeRoom(kNumberRoom);
    char* const start = buffer_.get() + used_;
    used_ += static_cast<std::size_t>(std::to_chars(start, start + kNumberRoom, value).ptr - start);
}

bool OutputBuffer::Flush() {
    if (stream_ == nullptr) return true;
    if (used_ > 0) {
        if (std::fwrite(buffer_.get(), 1, used_, stream_) != used_) failed_ = true;
        used_ = 0;
    }
    if (std::fflush(stream_) != 0) failed_ = true;
    return !failed_;
}

}  // namespace query

#include "OutputBuffer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace query {

namespace {

// 10^k for k = 0..19, the powers that fit in 64 bits.
constexpr std::array<std::uint64_t, 20> kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// Digits of n > 0: log10(2) ~ 1233/4096 gives the count from the bit width, or one more.
int DecimalDigits(std::uint64_t n) {
    const int estimate = (std::bit_width(n) * 1233) >> 12;
    return estimate + (n >= kPowersOfTen[static_cast<std::size_t>(estimate)] ? 1 : 0);
}

// "00" to "99".
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t i = 0; i < 100; ++i) {
        pairs[2 * i] = static_cast<char>('0' + i / 10);
        pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

void WritePair(char* at, std::uint32_t twoDigits) { std::memcpy(at, &kDigitPairs[std::size_t{twoDigits} * 2], 2); }

// Exactly four digits of n < 10^4 at `at`: two independent pairs.
void WriteFourDigits(char* at, std::uint32_t n) {
    WritePair(at, n / 100);
    WritePair(at + 2, n % 100);
}

// Digits are moved to their place in blocks of this size, whatever their count (at most 17).
constexpr std::size_t kDigitBlock = 24;

// digits·10^-fraction in fixed notation (with '-' when negative): `count`
// digits (at most 17), and at most three zeros between the point and them.
char* WriteFixed(char* out, bool negative, std::uint64_t digits, int count, int fraction) {
    // All 17 places, zeros first, right-aligned before the block's worth of room
    // that a move may read: the leading digit and four independent groups of four,
    // so that no step waits on another and no loop's end is guessed wrong.
    constexpr std::uint64_t kEight = 100000000;
    char text[kDigitBlock * 2] = {};
    char* const textEnd = text + kDigitBlock;
    const std::uint64_t upper = digits / kEight;
    const auto lower = static_cast<std::uint32_t>(digits % kEight);
    const auto middle = static_cast<std::uint32_t>(upper % kEight);
    textEnd[-17] = static_cast<char>('0' + upper / kEight);
    WriteFourDigits(textEnd - 16, middle / 10000);
    WriteFourDigits(textEnd - 12, middle % 10000);
    WriteFourDigits(textEnd - 8, lower / 10000);
    WriteFourDigits(textEnd - 4, lower % 10000);
    const char* const first = textEnd - count;
    // Placed around the point in fixed-size moves; what they carry past the text is room.
    if (negative) *out++ = '-';
    if (count > fraction) {
        const int whole = count - fraction;
        std::memcpy(out, first, kDigitBlock);
        if (fraction == 0) return out + count;
        out[whole] = '.';
        std::memcpy(out + whole + 1, textEnd - fraction, kDigitBlock);
        return out + count + 1;
    }
    std::copy_n("0.000", 5, out);
    out += 2 + (fraction - count);
    std::memcpy(out, first, kDigitBlock);
    return out + count;
}

}  // namespace

#if defined(__SIZEOF_INT128__)
// value = m·2^-s (s = 3..62 in this range). Scaled by 10^p, the least power of
// ten at which the step between doubles, 2^-s·10^p, is at least one unit, it is
// m·10^p/2^s, exact in 128 bits (10^p < 2^64 here), and the step spans 1 to 10
// units. The doubles that read back as value lie within half a step of it,
// and neither bound is ever a whole number (2^(s+1) would have to divide 10^p,
// and p < s). So the whole numbers L..H between the bounds are the 16- or
// 17-digit texts that read back as value, and at most one of them ends in 0:
// - If one does, it is the only text with fewer digits; its trailing zeros go.
// - Else all have the fewest digits, and to_chars takes the one nearest to
//   value (a tie to the even one): value rounded to a whole number, which lies
//   between the bounds since they are half a unit or more away.
// Below a power of two the step is half as wide, but such a value in this
// range is a whole number or 2^-1 to 2^-10, whose scaled value ends in 0 and is
// the first case's own choice.
char* WriteShortestFixed(char* out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-3 && magnitude < 1e15)) return nullptr;
    __extension__ using Wide = unsigned __int128;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int shift = 1075 - static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    // ceil(s·log10 2), as -floor(-s·log10 2) with log10 2 ~ 78913/2^18 (exact for |s| < 1100).
    int p = -((-shift * 78913) >> 18);
    const std::uint64_t scale = kPowersOfTen[static_cast<std::size_t>(p)];
    const Wide exact = Wide{m} * scale;                                     // value·10^p = exact/2^shift
    const Wide half = scale / 2;                                            // half a step
    const auto high = static_cast<std::uint64_t>((exact + half) >> shift);  // H
    const auto low = static_cast<std::uint64_t>((exact - half) >> shift);   // L - 1

    std::uint64_t digits = high / 10;
    if (digits * 10 > low) {
        --p;
        while (digits % 10 == 0 && p > 0) {
            digits /= 10;
            --p;
        }
        // A whole number ending in 0: to_chars may take scientific notation.
        if (digits % 10 == 0) return nullptr;
    } else {
        digits = static_cast<std::uint64_t>(exact >> shift);
        const std::uint64_t rest = static_cast<std::uint64_t>(exact) & ((std::uint64_t{1} << shift) - 1);
        const std::uint64_t halfUnit = std::uint64_t{1} << (shift - 1);
        if (rest > halfUnit || (rest == halfUnit && (digits & 1) != 0)) ++digits;
    }

    // to_chars takes the shorter of fixed and scientific notation, fixed on a tie.
    // Here fixed is never the longer: from 1 up it is the digits and a point at
    // most, below 1 it adds "0." and at most two zeros, where scientific adds
    // "e-0N" and a point after a first digit of more than one.
    return WriteFixed(out, (bits >> 63) != 0, digits, DecimalDigits(digits), p);
}
#else
char* WriteShortestFixed(char*, double) { return nullptr; }
#endif

char* WriteShortest(char* out, double value) {
    if (char* end = WriteShortestFixed(out, value)) return end;
    return std::to_chars(out, out + 32, value).ptr;
}

OutputBuffer::OutputBuffer(std::FILE* stream) : stream_(stream), buffer_(new char[kCapacity]) {}

OutputBuffer::OutputBuffer() : stream_(nullptr), buffer_(new char[kCapacity]) {}

void OutputBuffer::MakeRoom(std::size_t n) {
    if (capacity_ - used_ >= n) return;
    if (stream_ != nullptr) {
        Flush();
        if (capacity_ - used_ >= n) return;  // else more than the whole buffer is asked for: grow it
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

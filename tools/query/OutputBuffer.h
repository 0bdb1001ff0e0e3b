// Buffered output, numbers without locale or allocation: either to a stream
// (one write per 64 KiB) or into memory (one batch chunk's answers, handed on whole).
#pragma once

#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace query {

// Room that WriteShortest needs at `out`: the text is at most 24 bytes, and the
// digits are moved in fixed-size blocks that may reach past it.
inline constexpr std::size_t kShortestRoom = 48;

class OutputBuffer {
public:
    // Writes to `stream` whenever 64 KiB are buffered.
    explicit OutputBuffer(std::FILE* stream);
    // Keeps everything in memory, growing as needed; Text() hands it over.
    OutputBuffer();
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { Flush(); }

    void Append(std::string_view text) {
        if (text.empty()) return;  // an empty view may hold no address, which memcpy must not get
        if (capacity_ - used_ < text.size()) {
            AppendLong(text);
            return;
        }
        std::memcpy(buffer_.get() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void Append(char c) {
        if (used_ == capacity_) MakeRoom(1);
        buffer_[used_++] = c;
    }
    // Room for n more bytes: where they start. Write up to n bytes there and
    // hand the end of what was written to Commit.
    char* Reserve(std::size_t n) {
        if (capacity_ - used_ < n) MakeRoom(n);
        return buffer_.get() + used_;
    }
    void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }
    void AppendInteger(long long value);
    // Stream: writes what is buffered; false once any write has failed.
    // Memory: nothing to write, always true.
    bool Flush();

    // Memory: what was appended since the last Clear().
    std::string_view Text() const { return {buffer_.get(), used_}; }
    void Clear() { used_ = 0; }

private:
    static constexpr std::size_t kCapacity = 64 * 1024;
    // Room kept free so that one number always fits without a check per digit.
    static constexpr std::size_t kNumberRoom = 64;

    void MakeRoom(std::size_t n);
    void AppendLong(std::string_view text);

    std::FILE* stream_;  // null: memory
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = kCapacity;
    std::size_t used_ = 0;
    bool failed_ = false;
};

// Writes the shortest round-trip text of `value` (std::to_chars's) at `out`,
// which has room for kShortestRoom bytes; returns the end of the text. The
// fewest digits between the exact bounds of the doubles that read back as the
// value, in 128-bit integers (WriteShortestFixed), go before std::to_chars,
// which writes what that leaves. It saves a quarter of the companion's
// instructions per request (bench/RESULTS.md).
char* WriteShortest(char* out, double value);

// The same for a magnitude from 0.001 up to 10^15 (the double-precision models'
// elements are such doubles, with 16 or 17 digits), in well under to_chars's
// time; nullptr for any other value and for a whole number ending in 0, which
// to_chars may write in scientific notation.
char* WriteShortestFixed(char* out, double value);

}  // namespace query

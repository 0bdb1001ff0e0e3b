// Buffered output to a stream: one write per 64 KiB, numbers without locale or allocation.
#pragma once

#include <cstdio>
#include <string_view>

namespace query {

class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* stream) : m_pStream(stream) {}
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;
    ~OutputBuffer() { Flush(); }

    void Append(std::string_view text);
    void Append(char c);
    // Shortest text that reads back as the same double ("nan"/"inf" if not finite).
    void AppendReal(double value);
    void AppendInteger(long long value);
    // Writes what is buffered; false once any write has failed.
    bool Flush();

private:
    static constexpr std::size_t kCapacity = 64 * 1024;
    // Room kept free so that one number always fits without a check per digit.
    static constexpr std::size_t kNumberRoom = 64;

    void MakeRoom(std::size_t n);

    std::FILE* m_pStream;
    char m_szBuffer[kCapacity];
    std::size_t m_nUsed = 0;
    bool m_bFailed = false;
};

}  // namespace query

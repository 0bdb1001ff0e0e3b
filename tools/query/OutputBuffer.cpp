#include "OutputBuffer.h"

#include <charconv>
#include <cstring>

namespace query {

void OutputBuffer::MakeRoom(std::size_t n) {
    if (kCapacity - m_nUsed < n) Flush();
}

void OutputBuffer::Append(std::string_view text) {
    if (text.size() > kCapacity) {
        Flush();
        if (std::fwrite(text.data(), 1, text.size(), m_pStream) != text.size()) m_bFailed = true;
        return;
    }
    MakeRoom(text.size());
    std::memcpy(m_szBuffer + m_nUsed, text.data(), text.size());
    m_nUsed += text.size();
}

void OutputBuffer::Append(char c) {
    MakeRoom(1);
    m_szBuffer[m_nUsed++] = c;
}

void OutputBuffer::AppendReal(double value) {
    MakeRoom(kNumberRoom);
    const auto result = std::to_chars(m_szBuffer + m_nUsed, m_szBuffer + kCapacity, value);
    m_nUsed = static_cast<std::size_t>(result.ptr - m_szBuffer);
}

void OutputBuffer::AppendInteger(long long value) {
    MakeRoom(kNumberRoom);
    const auto result = std::to_chars(m_szBuffer + m_nUsed, m_szBuffer + kCapacity, value);
    m_nUsed = static_cast<std::size_t>(result.ptr - m_szBuffer);
}

bool OutputBuffer::Flush() {
    if (m_nUsed > 0) {
        if (std::fwrite(m_szBuffer, 1, m_nUsed, m_pStream) != m_nUsed) m_bFailed = true;
        m_nUsed = 0;
    }
    if (std::fflush(m_pStream) != 0) m_bFailed = true;
    return !m_bFailed;
}

}  // namespace query

// What the fuzz targets of dexlin-query share: its output streams captured in
// memory, and its standard input a file in memory.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "FuzzInput.h"

namespace fuzz {

// A byte order mark before the first line of a batch's requests, which it drops.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Captures what the tool writes to one stream.
class Capture {
public:
    Capture() : m_pStream(open_memstream(&m_pBuffer, &m_nSize)) { FUZZ_CHECK(m_pStream != nullptr); }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;
    ~Capture() {
        if (m_pStream != nullptr) std::fclose(m_pStream);
        std::free(m_pBuffer);
    }

    std::FILE* Stream() const { return m_pStream; }

    // Closes the stream and hands over what was written.
    std::string_view Text() {
        std::fclose(m_pStream);
        m_pStream = nullptr;
        return {m_pBuffer, m_nSize};
    }

private:
    char* m_pBuffer = nullptr;
    std::size_t m_nSize = 0;
    std::FILE* m_pStream;
};

// The batch's standard input: a file in memory, rewound for every run.
inline int InputFile(std::string_view bytes) {
    static const int fd = memfd_create("dexlin-query-input", 0);
    FUZZ_CHECK(fd >= 0);
    // Back to the start before writing: the last run left the offset at its end,
    // and writing there would put that many zero bytes before these.
    FUZZ_CHECK(ftruncate(fd, 0) == 0 && lseek(fd, 0, SEEK_SET) == 0);
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        FUZZ_CHECK(n > 0);
        written += static_cast<std::size_t>(n);
    }
    FUZZ_CHECK(lseek(fd, 0, SEEK_SET) == 0);
    return fd;
}

// A request line the batch copies to its output as it is: blank (blanks and
// tabs, a CRLF's CR) or a comment, and not over-long.
inline bool IsCopied(std::string_view line) {
    if (line.size() > 65536) return false;
    if (!line.empty() && line[0] == '#') return true;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace fuzz

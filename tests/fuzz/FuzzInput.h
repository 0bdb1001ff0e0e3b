// What the fuzz targets share: reading values from the fuzzer's bytes, and a
// check that stops the run with a message when an invariant breaks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// Stops the run: libFuzzer keeps the input as a crash, the replay test fails.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

// Hands out the bytes as values of any bit pattern (NaN, infinities,
// subnormals, negative zero, INT_MIN...); zero bytes once they run out.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    template <typename T>
    T Take() {
        unsigned char bytes[sizeof(T)] = {};
        const std::size_t n = m_nSize - m_nUsed < sizeof(T) ? m_nSize - m_nUsed : sizeof(T);
        if (n > 0) {
            std::memcpy(bytes, m_pData + m_nUsed, n);
        }
        m_nUsed += n;
        T value;
        std::memcpy(&value, bytes, sizeof(T));
        return value;
    }

    // The next n values of a type, in order.
    template <typename T, std::size_t n>
    std::array<T, n> TakeMany() {
        std::array<T, n> values;
        for (T& value : values) {
            value = Take<T>();
        }
        return values;
    }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nUsed = 0;
};

}  // namespace fuzz

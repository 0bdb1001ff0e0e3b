// Two doubles handled as one vector: two terms of the recursion, two dates'
// sums, two coefficients. Each lane takes exactly the steps it would take in a
// scalar register (IEEE arithmetic is the same in a vector lane), in half the
// instructions, and two divisions cost one. Built on the compiler's vector
// extension, so any target has it; on x86-64 it is SSE2, which every such
// processor has.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

// On x86-64 (where SSE2 is always there) a few steps take SSE2's own
// instructions, which the vector extension does not reach. DEXLIN_LANES_GENERIC
// keeps to the extension everywhere (the tests compare the two).
#if defined(__x86_64__) && defined(__SSE2__) && !defined(DEXLIN_LANES_GENERIC)
#define DEXLIN_LANES_SSE2 1
#include <emmintrin.h>
#else
#define DEXLIN_LANES_SSE2 0
#endif

namespace model {

using Lanes = double __attribute__((vector_size(16)));
using FloatLanes = float __attribute__((vector_size(8)));

// Each lane rounded to the working type, as a store to Real would.
template <typename Real>
inline Lanes RoundToWorking(Lanes x) {
    if constexpr (std::is_same_v<Real, float>) {
#if DEXLIN_LANES_SSE2
        return _mm_cvtps_pd(_mm_cvtpd_ps(x));  // without clearing the upper lanes in between
#else
        return __builtin_convertvector(__builtin_convertvector(x, FloatLanes), Lanes);
#endif
    } else {
        return x;
    }
}

// Two consecutive entries of an array of Real as the lanes of a vector, and back
// (each lane rounded to Real).
template <typename Real>
inline Lanes LoadLanes(const Real* at) {
    if constexpr (std::is_same_v<Real, float>) {
#if DEXLIN_LANES_SSE2
        std::int64_t bits = 0;  // both floats in one load
        std::memcpy(&bits, at, sizeof bits);
        return _mm_cvtps_pd(_mm_castsi128_ps(_mm_cvtsi64_si128(bits)));
#else
        FloatLanes pair;
        std::memcpy(&pair, at, sizeof pair);
        return __builtin_convertvector(pair, Lanes);
#endif
    } else {
        Lanes pair;
        std::memcpy(&pair, at, sizeof pair);
        return pair;
    }
}

template <typename Real>
inline void StoreLanes(Real* at, Lanes pair) {
    if constexpr (std::is_same_v<Real, float>) {
#if DEXLIN_LANES_SSE2
        const std::int64_t bits = _mm_cvtsi128_si64(_mm_castps_si128(_mm_cvtpd_ps(pair)));
        std::memcpy(at, &bits, sizeof bits);
#else
        const FloatLanes rounded = __builtin_convertvector(pair, FloatLanes);
        std::memcpy(at, &rounded, sizeof rounded);
#endif
    } else {
        std::memcpy(at, &pair, sizeof pair);
    }
}

}  // namespace model

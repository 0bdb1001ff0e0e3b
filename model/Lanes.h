// Two doubles handled as one vector (two terms of the recursion, two dates'
// sums), by hand as the model's float flags keep the compiler from it: each
// lane takes exactly the IEEE steps of a scalar register, in half the
// instructions. The compiler's vector extension: SSE2 on x86-64.
#pragma once

#include <cstring>
#include <type_traits>

namespace model {

using Lanes = double __attribute__((vector_size(16)));
using FloatLanes = float __attribute__((vector_size(8)));

// Each lane rounded to the working type, as a store to Real would.
template <typename Real>
inline Lanes RoundToWorking(Lanes x) {
    if constexpr (std::is_same_v<Real, float>) {
        return __builtin_convertvector(__builtin_convertvector(x, FloatLanes), Lanes);
    } else {
        return x;
    }
}

// Two consecutive entries of an array of Real as the lanes of a vector, and
// back (each lane rounded to Real).
template <typename Real>
inline Lanes LoadLanes(const Real* at) {
    if constexpr (std::is_same_v<Real, float>) {
        FloatLanes pair;
        std::memcpy(&pair, at, sizeof pair);
        return __builtin_convertvector(pair, Lanes);
    } else {
        Lanes pair;
        std::memcpy(&pair, at, sizeof pair);
        return pair;
    }
}

template <typename Real>
inline void StoreLanes(Real* at, Lanes pair) {
    if constexpr (std::is_same_v<Real, float>) {
        const FloatLanes rounded = __builtin_convertvector(pair, FloatLanes);
        std::memcpy(at, &rounded, sizeof rounded);
    } else {
        std::memcpy(at, &pair, sizeof pair);
    }
}

}  // namespace model

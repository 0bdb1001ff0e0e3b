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
// Two entries of an array of Real as they lie in memory.
template <typename Real>
using StoredLanes = std::conditional_t<std::is_same_v<Real, float>, FloatLanes, Lanes>;

// Each lane rounded to the working type, as a store to Real would.
template <typename Real>
inline Lanes RoundToWorking(Lanes x) {
    return __builtin_convertvector(__builtin_convertvector(x, StoredLanes<Real>), Lanes);
}

// Two consecutive entries of an array of Real as the lanes of a vector, and
// back (each lane rounded to Real).
template <typename Real>
inline Lanes LoadLanes(const Real* at) {
    StoredLanes<Real> pair;
    std::memcpy(&pair, at, sizeof pair);
    return __builtin_convertvector(pair, Lanes);
}

template <typename Real>
inline void StoreLanes(Real* at, Lanes pair) {
    const auto rounded = __builtin_convertvector(pair, StoredLanes<Real>);
    std::memcpy(at, &rounded, sizeof rounded);
}

}  // namespace model

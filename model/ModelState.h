// The model's working state, one per thread, rewritten by every query.
#pragma once

#include <array>

namespace model {

// Room for degree 12: entries 1 to 12 * 14 = 168; entry 0 is never used.
// Degrees above it are cut to it, so no routine writes past the arrays.
inline constexpr int kMaxCoefficientDegree = 13;
inline constexpr int kCoefficientArraySize = kMaxCoefficientDegree * (kMaxCoefficientDegree + 2) + 1;
template <typename Real>
using CoefficientArrayOf = std::array<Real, kCoefficientArraySize>;
using CoefficientArray = CoefficientArrayOf<float>;

// Magnetic elements at one point for one date. D and I in radians after
// ComputeElements (the query turns the date's D and I into degrees), the
// intensities in nT: X north, Y east, Z down. Stored as the model's working
// type: float for a single-precision model, double otherwise.
template <typename Real>
struct ElementSetOf {
    Real D;
    Real I;
    Real H;
    Real X;
    Real Y;
    Real Z;
    Real F;
};
using ElementSet = ElementSetOf<float>;

// Coefficient arrays in working order: for degree n and, within it, order m
// from 0 to n, g(n,m) and then, where m > 0, h(n,m).
template <typename Real>
struct ModelStateOf {
    CoefficientArrayOf<Real> mainField;
    CoefficientArrayOf<Real> secularVariation;
    CoefficientArrayOf<Real> dateCoefficients;
    CoefficientArrayOf<Real> nextYearCoefficients;
    ElementSetOf<Real> dateElements;
    ElementSetOf<Real> nextYearElements;
};
using ModelState = ModelStateOf<float>;

// The working state of single-precision models (the 1995 field), one per thread: zero-initialised when a thread first
// uses it and freed with the thread. Every query rewrites all of it, so queries on different threads (the companion's
// batch workers) never see each other's numbers, and no lock is needed; within a thread queries run one at a time.
// constinit: zero-initialised with the thread, so no initialiser call guards each use from other files.
extern thread_local constinit ModelState modelState;

}  // namespace model

// The engine's working state: coefficient arrays and element sets in the
// model's working type (float for the 1995 field, double otherwise).
#pragma once

#include <array>

namespace model {

// Room for degree 13 (entries 1 to 195, entry 0 unused); higher degrees are cut to it.
inline constexpr int kMaxCoefficientDegree = 13;
inline constexpr int kCoefficientArraySize = kMaxCoefficientDegree * (kMaxCoefficientDegree + 2) + 1;
template <typename Real>
using CoefficientArrayOf = std::array<Real, kCoefficientArraySize>;

// Magnetic elements at one point for one date: D and I in radians (degrees
// once the query has turned the date's), intensities in nT: X north, Y east, Z down.
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
    // The built-in model whose table mainField and secularVariation hold, or
    // nullptr (a file's model may be read again in place: loaded every query).
    const void* loadedBuiltIn;
};

// The working state of the 1995 field, one per thread (constinit: no guard on
// each use); every query rewrites it, so threads never see each other's numbers.
extern thread_local constinit ModelStateOf<float> modelState;

}  // namespace model

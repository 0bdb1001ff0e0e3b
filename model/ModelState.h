// The model's process-wide working state, rewritten by every query.
#pragma once

#include <array>

namespace model {

// Room for degree 12: entries 1 to 12 * 14 = 168; entry 0 is never used.
// Degrees above it are cut to it, so no routine writes past the arrays.
inline constexpr int kMaxCoefficientDegree = 12;
inline constexpr int kCoefficientArraySize = kMaxCoefficientDegree * (kMaxCoefficientDegree + 2) + 1;
using CoefficientArray = std::array<float, kCoefficientArraySize>;

// Magnetic elements at one point for one date. D and I in radians after
// ComputeElements (the query turns the date's D and I into degrees), the
// intensities in nT: X north, Y east, Z down.
struct ElementSet {
    float D;
    float I;
    float H;
    float X;
    float Y;
    float Z;
    float F;
};

// Coefficient arrays in working order: for degree n and, within it, order m
// from 0 to n, g(n,m) and then, where m > 0, h(n,m).
struct ModelState {
    CoefficientArray mainField;
    CoefficientArray secularVariation;
    CoefficientArray dateCoefficients;
    CoefficientArray nextYearCoefficients;
    ElementSet dateElements;
    ElementSet nextYearElements;
};

// The one instance, zero-initialised at start and never freed. The model runs
// on one thread; nothing guards it.
extern thread_local ModelState modelState;

}  // namespace model

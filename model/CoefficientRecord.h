// The built-in coefficient table of the field model and its fixed constants.
#pragma once

#include <array>
#include <cstdint>

namespace model {

// One row of the table. The order m comes before the degree n.
struct CoefficientRecord {
    double m;     // order, a whole number
    double n;     // degree, a whole number
    double g;     // main-field g(n,m) at the epoch, nT
    double h;     // main-field h(n,m) at the epoch, nT; 0 where m is 0
    double gdot;  // secular variation of g(n,m), nT per year
    double hdot;  // secular variation of h(n,m), nT per year; 0 where m is 0
};

inline constexpr int kCoefficientRecordCount = 65;

// Main field to degree 10, secular variation to degree 8, epoch 1995.0, in
// degree-major order (n ascending, m from 0 to n within a degree).
extern const std::array<CoefficientRecord, kCoefficientRecordCount> kCoefficientTable;

inline constexpr float kModelEpoch = 1995.0f;
inline constexpr std::int32_t kMainFieldDegree = 10;
inline constexpr std::int32_t kSecularVariationDegree = 8;

}  // namespace model

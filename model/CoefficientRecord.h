// The built-in coefficient table of the 1995.0 reference field and its fixed constants.
#pragma once

#include <array>
#include <cstdint>

#include "FieldModel.h"

namespace model {

inline constexpr int kCoefficientRecordCount = 65;

// Main field to degree 10, secular variation to degree 8, epoch 1995.0, in
// degree-major order (n ascending, m from 0 to n within a degree).
extern const std::array<CoefficientRecord, kCoefficientRecordCount> kCoefficientTable;

inline constexpr float kModelEpoch = 1995.0f;
inline constexpr std::int32_t kMainFieldDegree = 10;
inline constexpr std::int32_t kSecularVariationDegree = 8;

}  // namespace model

// The built-in WMM2025 coefficient table (generated, see tools/wmmgen).
#pragma once

#include <array>

#include "FieldModel.h"

namespace model {

inline constexpr int kWmm2025RecordCount = 90;  // degrees 1 to 12, orders 0 to n

extern const std::array<CoefficientRecord, kWmm2025RecordCount> kWmm2025Table;

}  // namespace model

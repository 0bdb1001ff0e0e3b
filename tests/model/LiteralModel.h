// The field synthesis and the variation query written step by step, one term
// at a time, as the reference that the split, precomputed path must match bit
// for bit.
#pragma once

#include <cstdint>

#include "MagneticModel.h"

namespace model::literal {

std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag);

int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result);

}  // namespace model::literal

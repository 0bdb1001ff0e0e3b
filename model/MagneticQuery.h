// The variation query with its selector codes passed in, so that each of its
// failure paths can be reached; ComputeMagneticElements passes the model's own.
#pragma once

#include <cstdint>

#include "MagneticModel.h"

namespace model {

struct QueryCodes {
    std::int32_t mainFieldTarget;
    std::int32_t secularVariationTarget;
    std::int32_t dateSet;
    std::int32_t nextYearSet;
};

// Whole degrees of an angle in degrees, truncated toward zero, and the rest in
// minutes: non-negative unless the whole degrees are 0, where they keep the sign.
void SplitDegrees(float angle, std::int32_t& degrees, double& minutes);

[[nodiscard]] int ComputeMagneticElements(const QueryCodes& codes, double latitude, double longitude, double year,
                                          MagneticElements& result);

}  // namespace model

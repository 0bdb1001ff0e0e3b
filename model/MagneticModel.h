// The variation query: the model's one entry point for the rest of Dexlin.
#pragma once

#include "MagneticElements.h"

namespace model {

// Status of ComputeMagneticElements.
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusExtrapolationFailed = 2;  // an extrapolation set the error flag
inline constexpr int kStatusLoadFailed = 3;           // a coefficient load set the error flag
// Latitude, longitude or year is NaN, infinite or beyond single precision, or
// the field at that date overflows single precision.
inline constexpr int kStatusNotFinite = 4;

// Computes the magnetic elements at a geodetic position (degrees, north and
// east positive) for a decimal year. On any status but kStatusOk the result
// is left as it was.
int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result);

}  // namespace model

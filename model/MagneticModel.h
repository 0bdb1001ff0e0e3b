// The variation query: the model's one entry point for the rest of Dexlin.
#pragma once

#include "FieldModel.h"
#include "MagneticElements.h"

namespace model {

// Statuses of ComputeMagneticElements (2, a failed extrapolation, cannot happen).
inline constexpr int kStatusOk = 0;
inline constexpr int kStatusLoadFailed = 3;    // the model's table is out of degree-major order or too short
inline constexpr int kStatusNotFinite = 4;     // an input or the field is NaN, infinite or beyond the working precision
inline constexpr int kStatusUndetermined = 5;  // the horizontal field is below 0.0001 nT: no direction

// The magnetic elements of the model at a geodetic position (degrees, north
// and east positive, any longitude), height above its ellipsoid in km, for a
// decimal year, with no bound on either (CoversYear, CoversHeight). On any
// status but kStatusOk the result is left as it was. answering, where given,
// is set to the piece that answers (PieceFor), whatever the status.
[[nodiscard]] int ComputeMagneticElements(const FieldModel& m, double latitude, double longitude, double heightKm,
                                          double year, MagneticElements& result,
                                          const FieldModel** answering = nullptr);

// The 1995.0 reference field at height 0, as the window always asked it: an
// undetermined direction gives a record holding the marker (999 degrees).
[[nodiscard]] int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result);

}  // namespace model

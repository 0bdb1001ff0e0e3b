// Synthesis of the field's north, east and down components at a geodetic point.
#pragma once

#include <array>
#include <cstdint>

#include "FieldModel.h"
#include "ModelState.h"

namespace model {

// Highest degree summed: what the coefficient arrays hold. A higher degree is cut to it.
inline constexpr int kMaxSynthesisDegree = kMaxCoefficientDegree;
inline constexpr int kMaxTermCount = kMaxSynthesisDegree * (kMaxSynthesisDegree + 3) / 2;

// The frame of a synthesis in the model's working type: its ellipsoid and the
// reference radius of its series.
template <typename Real>
struct SpheroidOf {
    Real equatorialRadiusSquared;  // a^2, km^2
    Real polarRadiusSquared;       // b^2, km^2
    Real radiusSquaredDifference;  // a^2 - b^2, km^2
    Real referenceRadius;          // km
};

// The frame of a model: a^2 and b^2 (b = a - a/(1/f)) each rounded to Real,
// their difference rounded to Real. For the 1995 field in single precision
// that is 40680924, 40408588, 272336 km^2 and 6371.2 km.
template <typename Real>
SpheroidOf<Real> SpheroidOfModel(const FieldModel& m);

// The part of the synthesis that depends only on the position and the degree:
// the geocentric frame, the radial factors and the Legendre functions. One
// position serves the sums of both dates of a query.
template <typename Real>
struct FieldPositionOf {
    std::int32_t degree;
    Real radius;  // geocentric radius, km
    Real s;       // sine of the geocentric latitude (cos of the colatitude)
    Real ct;      // cosine of the geocentric latitude (sin of the colatitude)
    Real cd;      // cosine and sine of the angle between geodetic and geocentric vertical
    Real sd;
    std::array<Real, kMaxSynthesisDegree + 1> rr;  // (reference radius / r)^(n+2) by degree n
    std::array<Real, kMaxTermCount + 1> p;         // (n+1) P(n,m) by term k, from 1
    std::array<Real, kMaxTermCount + 1> q;         // dP(n,m)/dtheta by term k, from 1
    std::array<Real, kMaxSynthesisDegree + 1> sl;  // sin(m lambda) by order m, from 1
    std::array<Real, kMaxSynthesisDegree + 1> cl;  // cos(m lambda) by order m, from 1
};
using FieldPosition = FieldPositionOf<float>;

// Fills the position part for latitude and longitude in degrees, height above
// the ellipsoid in km and degree (at most 12).
template <typename Real>
void ComputeFieldPosition(const SpheroidOf<Real>& spheroid, Real latitude, Real longitude, Real height,
                          std::int32_t degree, FieldPositionOf<Real>& position);

// The same in the 1995 field's frame.
void ComputeFieldPosition(float latitude, float longitude, float height, std::int32_t degree, FieldPosition& position);

// Sums the series of one coefficient array at a position and writes X, Y, Z
// (geodetic frame, nT) into the element set.
void SumField(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements);

// SumField for two arrays at the same position, as two calls would give.
template <typename Real>
void SumFieldPair(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& firstCoefficients,
                  ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& secondCoefficients,
                  ElementSetOf<Real>& secondElements);

// X, Y, Z at the point (the 1995 field's frame) from dateCoefficients into
// dateElements (set code 3) or nextYearCoefficients into nextYearElements (4).
// Always returns 0; an invalid set code sets errorFlag to 1 and writes nothing.
std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag);

}  // namespace model

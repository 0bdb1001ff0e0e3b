// Synthesis of the field's north, east and down components at a geodetic point.
#pragma once

#include <array>
#include <cstdint>

#include "FieldModel.h"
#include "ModelState.h"

namespace model {

// Terms summed up to kMaxCoefficientDegree, the highest degree (a higher one is cut to it).
inline constexpr int kMaxTermCount = kMaxCoefficientDegree * (kMaxCoefficientDegree + 3) / 2;

// The frame of a model in its working type, each value rounded to Real (for
// the 1995 field 40680924, 40408588, 272336 km^2 and 6371.2 km).
template <typename Real>
struct SpheroidOf {
    Real equatorialRadiusSquared;  // a^2, km^2
    Real polarRadiusSquared;       // b^2, km^2
    Real radiusSquaredDifference;  // a^2 - b^2, km^2
    Real referenceRadius;          // km
};

template <typename Real>
SpheroidOf<Real> SpheroidOfModel(const FieldModel& m);

// What the synthesis takes from the position and the degree alone, shared by
// both dates of a query.
template <typename Real>
struct FieldPositionOf {
    std::int32_t degree;
    Real radius;  // geocentric radius, km
    Real ct;      // cosine of the geocentric latitude (sin of the colatitude)
    Real cd;      // cosine and sine of the angle between geodetic and geocentric vertical
    Real sd;
    std::array<Real, kMaxCoefficientDegree + 1> rr;  // (reference radius / r)^(n+2) by degree n
    std::array<Real, kMaxTermCount + 1> p;           // (n+1) P(n,m) by term k, from 1
    std::array<Real, kMaxTermCount + 1> q;           // dP(n,m)/dtheta by term k, from 1
    std::array<Real, kMaxCoefficientDegree + 1> sl;  // sin(m lambda) by order m, from 1
    std::array<Real, kMaxCoefficientDegree + 1> cl;  // cos(m lambda) by order m, from 1
};

// Fills the position part for latitude and longitude in degrees, height above
// the ellipsoid in km and degree (cut to kMaxCoefficientDegree).
template <typename Real>
void ComputeFieldPosition(const SpheroidOf<Real>& spheroid, Real latitude, Real longitude, Real height,
                          std::int32_t degree, FieldPositionOf<Real>& position);

// The same from a geocentric position: radius r in km, the sine and cosine of
// the geocentric latitude, the longitude in degrees (cd 1, sd 0).
template <typename Real>
void ComputeGeocentricPosition(Real referenceRadius, Real r, Real s, Real ct, Real longitude, std::int32_t degree,
                               FieldPositionOf<Real>& position);

// Sums the series of two coefficient arrays (the query's two dates) at one
// position into each one's X, Y, Z (geodetic, nT), the bits it would get alone.
template <typename Real>
void SumFields(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& first,
               ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& second,
               ElementSetOf<Real>& secondElements);

}  // namespace model

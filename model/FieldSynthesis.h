// Synthesis of the field's north, east and down components at a geodetic point.
#pragma once

#include <array>
#include <cstdint>

#include "ModelState.h"

namespace model {

// Highest degree summed: what the coefficient arrays hold. A higher degree is cut to it.
inline constexpr int kMaxSynthesisDegree = kMaxCoefficientDegree;
inline constexpr int kMaxTermCount = kMaxSynthesisDegree * (kMaxSynthesisDegree + 3) / 2;

// The part of the synthesis that depends only on the position and the degree:
// the geocentric frame, the radial factors and the Legendre functions. One
// position serves the sums of both dates of a query.
struct FieldPosition {
    std::int32_t degree;
    float radius;  // geocentric radius, km
    float s;       // sine of the geocentric latitude (cos of the colatitude)
    float ct;      // cosine of the geocentric latitude (sin of the colatitude)
    float cd;      // cosine and sine of the angle between geodetic and geocentric vertical
    float sd;
    std::array<float, kMaxSynthesisDegree + 1> rr;  // (6371.2 / r)^(n+2) by degree n
    std::array<float, kMaxTermCount + 1> p;         // (n+1) P(n,m) by term k, from 1
    std::array<float, kMaxTermCount + 1> q;         // dP(n,m)/dtheta by term k, from 1
    std::array<float, kMaxSynthesisDegree + 1> sl;  // sin(m lambda) by order m, from 1
    std::array<float, kMaxSynthesisDegree + 1> cl;  // cos(m lambda) by order m, from 1
};

// Fills the position part for latitude and longitude in degrees, height in km
// and degree (at most 12).
void ComputeFieldPosition(float latitude, float longitude, float height, std::int32_t degree, FieldPosition& position);

// Sums the series of one coefficient array at a position and writes X, Y, Z
// (geodetic frame, nT) into the element set.
void SumField(const FieldPosition& position, const CoefficientArray& coefficients, ElementSet& elements);

// SumField for two arrays at the same position, as two calls would give.
void SumFieldPair(const FieldPosition& position, const CoefficientArray& firstCoefficients, ElementSet& firstElements,
                  const CoefficientArray& secondCoefficients, ElementSet& secondElements);

// X, Y, Z at the point from dateCoefficients into dateElements (set code 3) or
// nextYearCoefficients into nextYearElements (4). Always returns 0; an invalid
// set code sets errorFlag to 1 and writes nothing.
std::int32_t SynthesizeField(float latitude, float longitude, float height, std::int32_t degree, std::int32_t setCode,
                             std::int32_t& errorFlag);

}  // namespace model

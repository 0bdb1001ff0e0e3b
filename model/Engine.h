// The model's private parts: the built-in data, and the engine behind the query,
// one templated path, float for the 1995 field (every intermediate rounded as it
// always was), double for the others, its steps in the order a query runs them.
#pragma once

#include <array>
#include <cstdint>
#include <numbers>
#include <span>
#include <string_view>

#include "FieldModel.h"

namespace model {

// The 1995.0 reference field's table: main field to degree 10, secular
// variation to degree 8, epoch 1995.0, degree-major (n ascending, m 0 to n).
inline constexpr int kCoefficientRecordCount = 65;
extern const std::array<CoefficientRecord, kCoefficientRecordCount> kCoefficientTable;
inline constexpr float kModelEpoch = 1995.0f;
inline constexpr std::int32_t kMainFieldDegree = 10;
inline constexpr std::int32_t kSecularVariationDegree = 8;

// The text of a built-in model's data file (model/data, embedded by the build)
// of that name ("WMM2025.COF"); empty for any other.
std::string_view BuiltInFileText(std::string_view name);

// The constants of a working type: the 1995 field's own, or double precision.
template <typename Real>
struct WorkingPrecision;

template <>
struct WorkingPrecision<float> {
    static constexpr float kDegreeToRadian = 0.01745329f;
    static constexpr float kRadianToDegree = 57.29578f;
    static constexpr float kHalfTurn = 3.1415927f;  // the single-precision pi
    // Latitudes within 0.001 degree of a pole are taken at this one, keeping
    // the cosine of the latitude off 0 (double evaluates the pole itself).
    static constexpr float kGuardLatitude = 89.999f;
};

template <>
struct WorkingPrecision<double> {
    static constexpr double kDegreeToRadian = std::numbers::pi / 180.0;
    static constexpr double kRadianToDegree = 180.0 / std::numbers::pi;
    static constexpr double kHalfTurn = std::numbers::pi;
};

// Room for degree 13 (entries 1 to 195, entry 0 unused); higher degrees are cut to it.
inline constexpr int kMaxCoefficientDegree = 13;
inline constexpr int kCoefficientArraySize = kMaxCoefficientDegree * (kMaxCoefficientDegree + 2) + 1;
inline constexpr int kMaxTermCount = kMaxCoefficientDegree * (kMaxCoefficientDegree + 3) / 2;

// Coefficients in working order: by degree, m from 0 to n, g(n,m) then h(n,m) if m > 0.
template <typename Real>
using CoefficientArrayOf = std::array<Real, kCoefficientArraySize>;

// Magnetic elements at one point for one date: D and I in radians (degrees
// once the query has turned the date's), intensities in nT: X north, Y east, Z down.
template <typename Real>
struct ElementSetOf {
    Real D, I, H, X, Y, Z, F;
};

template <typename Real>
struct ModelStateOf {
    CoefficientArrayOf<Real> mainField;
    CoefficientArrayOf<Real> secularVariation;
    CoefficientArrayOf<Real> dateCoefficients;
    CoefficientArrayOf<Real> nextYearCoefficients;
    ElementSetOf<Real> dateElements;
    ElementSetOf<Real> nextYearElements;
    const void* loadedBuiltIn;  // the built-in model whose table the first two hold, or nullptr
};

// The working state of the 1995 field, one per thread (constinit: no guard on
// each use); every query rewrites it, so threads never see each other's numbers.
extern thread_local constinit ModelStateOf<float> modelState;

// Copies the records up to degree (cut to kMaxCoefficientDegree) into target
// in working order, rounded to Real: the columns g, h, or gdot, hdot. False at
// the first record missing or out of degree-major order.
template <typename Real>
[[nodiscard]] bool LoadRecords(std::span<const CoefficientRecord> table, bool mainColumns, std::int32_t degree,
                               CoefficientArrayOf<Real>& target);

// Forms mainField + (d - epoch) * secularVariation into dateCoefficients for
// d = date and nextYearCoefficients for d = nextDate (degrees above one of the
// two taken as 0 there). Returns the larger degree, the one the sums run to.
template <typename Real>
std::int32_t ExtrapolateBothSets(ModelStateOf<Real>& state, Real date, Real nextDate, Real epoch,
                                 std::int32_t mainDegree, std::int32_t secularDegree);

// A model's ellipsoid and series radius rounded to Real (the 1995 field's:
// 40680924, 40408588, 272336 km^2 and 6371.2 km).
template <typename Real>
struct SpheroidOf {
    Real equatorialRadiusSquared;  // a^2, km^2
    Real polarRadiusSquared;       // b^2, km^2
    Real radiusSquaredDifference;  // a^2 - b^2, km^2
    Real referenceRadius;          // km
};

template <typename Real>
SpheroidOf<Real> SpheroidOfModel(const FieldModel& m);

// What the sums take from the position and the degree alone, shared by both dates.
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

// The position part for latitude and longitude in degrees and height above
// the ellipsoid in km, to degree (cut to kMaxCoefficientDegree).
template <typename Real>
void ComputeFieldPosition(const SpheroidOf<Real>& spheroid, Real latitude, Real longitude, Real height,
                          std::int32_t degree, FieldPositionOf<Real>& position);

// Sums the series of the two dates' coefficients at one position into each
// one's X, Y, Z (geodetic, nT), the bits each would get alone.
template <typename Real>
void SumFields(const FieldPositionOf<Real>& position, const CoefficientArrayOf<Real>& first,
               ElementSetOf<Real>& firstElements, const CoefficientArrayOf<Real>& second,
               ElementSetOf<Real>& secondElements);

// Below this F or H (nT) the field's direction is undetermined.
inline constexpr float kUndeterminedThreshold = 0.0001f;
// Stored for angles that cannot be determined: 999 degrees in radians (999 *
// 57.29578 in float) in the date's set, plain numbers in the next year's.
inline constexpr float kDateUndeterminedMarker = 57238.484375f;
inline constexpr float kNextYearUndeterminedMarker = 999.0f;
inline constexpr float kNextYearNoHorizontalMarker = 9990.0f;

// Reads X, Y, Z of the set and writes its H, F and, where they are determined,
// D and I in radians (the markers otherwise).
template <typename Real>
void ComputeElements(ElementSetOf<Real>& set, Real undeterminedMarker, Real noHorizontalMarker);

// Whole degrees of an angle in degrees, truncated toward zero, and the rest in
// minutes rounded to Real, carrying the sign only when the degrees are 0. An
// angle that is no number or beyond an int gives 0 degrees and itself as minutes.
template <typename Real>
void SplitAngle(Real angle, std::int32_t& degrees, double& minutes);

}  // namespace model

#include "MagneticModel.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ElementAngles.h"
#include "FieldSynthesis.h"
#include "MagneticQuery.h"
#include "ModelState.h"
#include "WorkingPrecision.h"

namespace model {

namespace {

constexpr double kMinutesPerDegree = 60.0;
constexpr double kYearStep = 1.0;
constexpr QueryCodes kModelCodes{kMainFieldTarget, kSecularVariationTarget, kDateSet, kNextYearSet};

// A real angle in radians, as opposed to an undetermined marker.
template <typename Real>
bool IsAngle(Real value) {
    return std::fabs(value) <= WorkingPrecision<Real>::kHalfTurn;
}

// Annual change of an angle in minutes of arc per year. Where the angle passes
// through +-180 degrees between the two dates, the difference is brought into
// -180..+180 first, so the change stays a small rate instead of ~21600.
template <typename Real>
double AngleChange(Real next, Real date) {
    double difference = static_cast<double>(next) - date;
    if (IsAngle(next) && IsAngle(date)) {
        if (difference > std::numbers::pi) {
            difference -= 2.0 * std::numbers::pi;
        } else if (difference < -std::numbers::pi) {
            difference += 2.0 * std::numbers::pi;
        }
    }
    return difference * WorkingPrecision<Real>::kRadianToDegree * static_cast<Real>(kMinutesPerDegree);
}

// An input the working type can hold: a double beyond single precision has no
// value in a single-precision model; NaN and infinities none in any.
template <typename Real>
bool Fits(double value) {
    return std::fabs(value) <= std::numeric_limits<Real>::max();
}

template <typename Real>
bool IsFinite(const ElementSetOf<Real>& set) {
    return std::isfinite(set.D) && std::isfinite(set.I) && std::isfinite(set.H) && std::isfinite(set.X) &&
           std::isfinite(set.Y) && std::isfinite(set.Z) && std::isfinite(set.F);
}

// A longitude brought into -180..180 degrees in double, exactly (the remainder
// of a division is exact), before the query rounds it to single precision:
// rounded first, 36000000 would lose 2 degrees. Longitudes within +-180 pass
// untouched, bit for bit.
double WithinHalfTurn(double longitude) {
    constexpr double kHalfTurnDegrees = 180.0;
    constexpr double kFullTurnDegrees = 360.0;
    return std::fabs(longitude) <= kHalfTurnDegrees ? longitude : std::remainder(longitude, kFullTurnDegrees);
}

// Whole degrees of an angle truncated toward zero, and the rest in minutes
// rounded to Real. An angle that is no number (a field that overflowed at an
// absurd date) gives 0 degrees and its value as minutes rather than an
// undefined conversion.
template <typename Real>
void SplitAngle(Real angle, std::int32_t& degrees, double& minutes) {
    constexpr auto kIntLimit = static_cast<Real>(2147483648.0);
    if (!(std::fabs(angle) < kIntLimit)) {
        degrees = 0;
        minutes = angle;
        return;
    }
    degrees = static_cast<std::int32_t>(angle);
    auto rest = static_cast<Real>((static_cast<double>(angle) - degrees) * static_cast<Real>(kMinutesPerDegree));
    if (degrees != 0) {
        rest = std::fabs(rest);
    }
    minutes = rest;
}

// Loads a model's table into the state's main-field and secular-variation
// arrays. The built-in 1995 table comes from its arrays formed once.
template <typename Real>
bool LoadModel(const FieldModel& m, const QueryCodes& codes, ModelStateOf<Real>& state) {
    std::int32_t errorFlag = 0;
    if constexpr (std::is_same_v<Real, float>) {
        if (&m == &ReferenceField1995()) {
            LoadCoefficients(kMainFieldColumns, m.mainDegree, codes.mainFieldTarget, errorFlag);
            if (errorFlag == 1) {
                return false;
            }
            LoadCoefficients(kSecularVariationColumns, m.secularDegree, codes.secularVariationTarget, errorFlag);
            return errorFlag != 1;
        }
    }
    const auto target = [&](std::int32_t code) -> CoefficientArrayOf<Real>* {
        switch (code) {
        case kMainFieldTarget: return &state.mainField;
        case kSecularVariationTarget: return &state.secularVariation;
        default: return nullptr;
        }
    };
    CoefficientArrayOf<Real>* main = target(codes.mainFieldTarget);
    CoefficientArrayOf<Real>* secular = target(codes.secularVariationTarget);
    if (main == nullptr || secular == nullptr) {
        return false;
    }
    // A table out of order or too short for its degrees has no field.
    return LoadRecords<Real>(m.coefficients, kMainFieldColumns, m.mainDegree, main, errorFlag) == 0 &&
           LoadRecords<Real>(m.coefficients, kSecularVariationColumns, m.secularDegree, secular, errorFlag) == 0;
}

// The query in the model's working type: load, extrapolate to the date and a
// year later, synthesise both at the point, elements, changes and the record.
template <typename Real>
int Query(const FieldModel& m, const QueryCodes& codes, ModelStateOf<Real>& state, double latitude, double longitude,
          double heightKm, double year, MagneticElements& result) {
    using Precision = WorkingPrecision<Real>;
    if (!Fits<Real>(latitude) || !Fits<Real>(longitude) || !Fits<Real>(year) || !Fits<Real>(heightKm)) {
        return kStatusNotFinite;  // NaN, infinite, or beyond the working type
    }
    const auto lat = static_cast<Real>(latitude);
    const auto lon = static_cast<Real>(WithinHalfTurn(longitude));
    const auto height = static_cast<Real>(heightKm);
    const auto date = static_cast<Real>(year);

    if (!LoadModel(m, codes, state)) {
        return kStatusLoadFailed;
    }
    const auto epoch = static_cast<Real>(m.epoch);
    const auto nextYear = static_cast<Real>(static_cast<double>(date) + kYearStep);
    std::int32_t degree = 0;
    if (codes.dateSet == kDateSet && codes.nextYearSet == kNextYearSet) {
        // The model's own sets cannot fail: both dates in one pass.
        degree = ExtrapolateBothSets(state, date, nextYear, epoch, m.mainDegree, m.secularDegree);
    } else {
        // Only the 1995 field's query is asked with other codes (its failure paths).
        if constexpr (!std::is_same_v<Real, float>) {
            return kStatusExtrapolationFailed;
        } else {
            std::int32_t errorFlag = 0;
            ExtrapolateCoefficients(date, epoch, m.mainDegree, m.secularDegree, codes.dateSet, errorFlag);
            if (errorFlag == 1) {
                return kStatusExtrapolationFailed;
            }
            degree =
                ExtrapolateCoefficients(nextYear, epoch, m.mainDegree, m.secularDegree, codes.nextYearSet, errorFlag);
            if (errorFlag == 1) {
                return kStatusExtrapolationFailed;
            }
        }
    }

    // Both dates share the position part of the synthesis.
    FieldPositionOf<Real> position;
    ComputeFieldPosition(SpheroidOfModel<Real>(m), lat, lon, height, degree, position);
    ElementSetOf<Real>& now = state.dateElements;
    ElementSetOf<Real>& next = state.nextYearElements;
    SumFieldPair(position, state.dateCoefficients, now, state.nextYearCoefficients, next);
    ComputeElements(now, static_cast<Real>(kDateUndeterminedMarker), static_cast<Real>(kDateUndeterminedMarker));
    ComputeElements(next, static_cast<Real>(kNextYearUndeterminedMarker),
                    static_cast<Real>(kNextYearNoHorizontalMarker));
    // Far enough from the epoch the field overflows single precision: no record.
    if (!IsFinite(now) || !IsFinite(next)) {
        return kStatusNotFinite;
    }

    result.declinationChange = AngleChange(next.D, now.D);
    result.inclinationChange = AngleChange(next.I, now.I);
    now.D = static_cast<Real>(static_cast<double>(now.D) * Precision::kRadianToDegree);
    now.I = static_cast<Real>(static_cast<double>(now.I) * Precision::kRadianToDegree);
    result.horizontalChange = static_cast<double>(next.H) - now.H;
    result.northChange = static_cast<double>(next.X) - now.X;
    result.eastChange = static_cast<double>(next.Y) - now.Y;
    result.verticalChange = static_cast<double>(next.Z) - now.Z;
    result.totalChange = static_cast<double>(next.F) - now.F;
    SplitAngle(now.D, result.declinationDegrees, result.declinationMinutes);
    SplitAngle(now.I, result.inclinationDegrees, result.inclinationMinutes);
    result.horizontalIntensity = now.H;
    result.northComponent = now.X;
    result.eastComponent = now.Y;
    result.verticalComponent = now.Z;
    result.totalIntensity = now.F;
    return kStatusOk;
}

// The working state of double-precision models, one per thread like modelState.
thread_local ModelStateOf<double> wideState{};

}  // namespace

void SplitDegrees(float angle, std::int32_t& degrees, double& minutes) { SplitAngle(angle, degrees, minutes); }

int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result) {
    return Query(ReferenceField1995(), kModelCodes, modelState, latitude, longitude, 0.0, year, result);
}

int ComputeMagneticElements(const QueryCodes& codes, double latitude, double longitude, double year,
                            MagneticElements& result) {
    return Query(ReferenceField1995(), codes, modelState, latitude, longitude, 0.0, year, result);
}

int ComputeMagneticElements(const FieldModel& m, double latitude, double longitude, double heightKm, double year,
                            MagneticElements& result) {
    if (!m.pieces.empty()) {
        return ComputeMagneticElements(PieceFor(m, year), latitude, longitude, heightKm, year, result);
    }
    if (m.singlePrecision) {
        return Query(m, kModelCodes, modelState, latitude, longitude, heightKm, year, result);
    }
    return Query(m, kModelCodes, wideState, latitude, longitude, heightKm, year, result);
}

}  // namespace model

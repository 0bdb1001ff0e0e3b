#include "MagneticModel.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ElementAngles.h"
#include "FieldSynthesis.h"
#include "MagneticQuery.h"
#include "ModelState.h"

namespace model {

namespace {

constexpr float kRadianToDegree = 57.29578f;
constexpr float kMinutesPerDegree = 60.0f;
constexpr float kYearStep = 1.0f;
constexpr float kQueryHeight = 0.0f;  // km above the ellipsoid
constexpr QueryCodes kModelCodes{kMainFieldTarget, kSecularVariationTarget, kDateSet, kNextYearSet};

// A real angle in radians, as opposed to an undetermined marker.
bool IsAngle(float value) { return std::fabs(value) <= kHalfTurn; }

// Annual change of an angle in minutes of arc per year. Where the angle passes
// through +-180 degrees between the two dates, the difference is brought into
// -180..+180 first, so the change stays a small rate instead of ~21600.
double AngleChange(float next, float date) {
    double difference = static_cast<double>(next) - date;
    if (IsAngle(next) && IsAngle(date)) {
        if (difference > std::numbers::pi) {
            difference -= 2.0 * std::numbers::pi;
        } else if (difference < -std::numbers::pi) {
            difference += 2.0 * std::numbers::pi;
        }
    }
    return difference * kRadianToDegree * kMinutesPerDegree;
}

// The model works in single precision: a double beyond its range has no value there.
bool FitsSingle(double value) { return std::fabs(value) <= std::numeric_limits<float>::max(); }

bool IsFinite(const ElementSet& set) {
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

}  // namespace

// An angle that is no number (a field that overflowed at an absurd date) gives
// 0 degrees and its value as minutes rather than an undefined conversion.
void SplitDegrees(float angle, std::int32_t& degrees, double& minutes) {
    constexpr float kIntLimit = 2147483648.0f;
    if (!(std::fabs(angle) < kIntLimit)) {
        degrees = 0;
        minutes = angle;
        return;
    }
    degrees = static_cast<std::int32_t>(angle);
    auto rest = static_cast<float>((static_cast<double>(angle) - degrees) * kMinutesPerDegree);
    if (degrees != 0) {
        rest = std::fabs(rest);
    }
    minutes = rest;
}

int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result) {
    return ComputeMagneticElements(kModelCodes, latitude, longitude, year, result);
}

int ComputeMagneticElements(const QueryCodes& codes, double latitude, double longitude, double year,
                            MagneticElements& result) {
    if (!FitsSingle(latitude) || !FitsSingle(longitude) || !FitsSingle(year)) {
        return kStatusNotFinite;  // NaN, infinite, or beyond single precision
    }
    const auto lat = static_cast<float>(latitude);
    const auto lon = static_cast<float>(WithinHalfTurn(longitude));
    const auto date = static_cast<float>(year);
    std::int32_t errorFlag = 0;

    LoadCoefficients(kMainFieldColumns, kMainFieldDegree, codes.mainFieldTarget, errorFlag);
    if (errorFlag == 1) {
        return kStatusLoadFailed;
    }
    LoadCoefficients(kSecularVariationColumns, kSecularVariationDegree, codes.secularVariationTarget, errorFlag);
    if (errorFlag == 1) {
        return kStatusLoadFailed;
    }
    const auto nextYear = static_cast<float>(static_cast<double>(date) + kYearStep);
    std::int32_t degree = 0;
    if (codes.dateSet == kDateSet && codes.nextYearSet == kNextYearSet) {
        // The model's own sets cannot fail: both dates in one pass.
        degree = ExtrapolateBothSets(date, nextYear, kModelEpoch, kMainFieldDegree, kSecularVariationDegree);
    } else {
        ExtrapolateCoefficients(date, kModelEpoch, kMainFieldDegree, kSecularVariationDegree, codes.dateSet, errorFlag);
        if (errorFlag == 1) {
            return kStatusExtrapolationFailed;
        }
        degree = ExtrapolateCoefficients(nextYear, kModelEpoch, kMainFieldDegree, kSecularVariationDegree,
                                         codes.nextYearSet, errorFlag);
        if (errorFlag == 1) {
            return kStatusExtrapolationFailed;
        }
    }

    // Both dates share the position part of the synthesis.
    FieldPosition position;
    ComputeFieldPosition(lat, lon, kQueryHeight, degree, position);
    ElementSet& now = modelState.dateElements;
    ElementSet& next = modelState.nextYearElements;
    SumFieldPair(position, modelState.dateCoefficients, now, modelState.nextYearCoefficients, next);
    ComputeElements(kDateSet, errorFlag);
    ComputeElements(kNextYearSet, errorFlag);
    // Far enough from the epoch the field overflows single precision: no record.
    if (!IsFinite(now) || !IsFinite(next)) {
        return kStatusNotFinite;
    }

    result.declinationChange = AngleChange(next.D, now.D);
    result.inclinationChange = AngleChange(next.I, now.I);
    now.D = static_cast<float>(static_cast<double>(now.D) * kRadianToDegree);
    now.I = static_cast<float>(static_cast<double>(now.I) * kRadianToDegree);
    result.horizontalChange = static_cast<double>(next.H) - now.H;
    result.northChange = static_cast<double>(next.X) - now.X;
    result.eastChange = static_cast<double>(next.Y) - now.Y;
    result.verticalChange = static_cast<double>(next.Z) - now.Z;
    result.totalChange = static_cast<double>(next.F) - now.F;
    SplitDegrees(now.D, result.declinationDegrees, result.declinationMinutes);
    SplitDegrees(now.I, result.inclinationDegrees, result.inclinationMinutes);
    result.horizontalIntensity = now.H;
    result.northComponent = now.X;
    result.eastComponent = now.Y;
    result.verticalComponent = now.Z;
    result.totalIntensity = now.F;
    return kStatusOk;
}

}  // namespace model

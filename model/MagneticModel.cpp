#include "MagneticModel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>

#include "Engine.h"

namespace model {

thread_local constinit ModelStateOf<float> modelState{};

namespace {

constexpr double kYearStep = 1.0;

// Annual change of an angle in minutes of arc per year, a difference across
// +-180 degrees between two real angles (not markers) brought into -180..+180
// first (a small rate, not ~21600).
template <typename Real>
double AngleChange(Real next, Real date) {
    double difference = static_cast<double>(next) - date;
    const auto isAngle = [](Real value) { return std::fabs(value) <= WorkingPrecision<Real>::kHalfTurn; };
    if (isAngle(next) && isAngle(date) && std::fabs(difference) > std::numbers::pi) {
        difference -= std::copysign(2.0 * std::numbers::pi, difference);
    }
    return difference * WorkingPrecision<Real>::kRadianToDegree * static_cast<Real>(kMinutesPerDegree);
}

// An input the working type can hold (never NaN nor an infinity).
template <typename Real>
bool Fits(double value) {
    return std::fabs(value) <= std::numeric_limits<Real>::max();
}

template <typename Real>
bool IsFinite(const ElementSetOf<Real>& set) {
    const Real values[] = {set.D, set.I, set.H, set.X, set.Y, set.Z, set.F};
    return std::ranges::all_of(values, [](Real value) { return std::isfinite(value); });
}

// A longitude brought into -180..180 degrees exactly (a remainder is) before
// it is rounded to float, where 36000000 would lose 2 degrees.
double WithinHalfTurn(double longitude) {
    return std::fabs(longitude) <= 180.0 ? longitude : std::remainder(longitude, 360.0);
}

// Built-in models' tables in working order, a few per thread, so that queries
// moving between IGRF-14's pieces load each once; slot by the model's address
// counted in models (neighbouring pieces, neighbouring slots).
template <typename Real>
struct LoadedTable {
    const FieldModel* model;
    CoefficientArrayOf<Real> mainField;
    CoefficientArrayOf<Real> secularVariation;
};
constexpr std::size_t kLoadedTables = 32;

template <typename Real>
LoadedTable<Real>& LoadedTableOf(const FieldModel& m) {
    thread_local constinit std::array<LoadedTable<Real>, kLoadedTables> tables{};
    return tables[reinterpret_cast<std::uintptr_t>(&m) / sizeof(FieldModel) % kLoadedTables];
}

template <typename Real>
bool LoadTable(const FieldModel& m, CoefficientArrayOf<Real>& mainField, CoefficientArrayOf<Real>& secular) {
    return LoadRecords<Real>(m.coefficients, true, m.mainDegree, mainField) &&
           LoadRecords<Real>(m.coefficients, false, m.secularDegree, secular);
}

// Loads a model's table into the state, unless it holds that built-in model's
// already (a file's model may be read again in place: loaded every query).
// False for a table out of order or too short.
template <typename Real>
bool LoadModel(const FieldModel& m, ModelStateOf<Real>& state) {
    if (state.loadedBuiltIn == &m) return true;
    state.loadedBuiltIn = nullptr;
    if (!IsBuiltInModel(m)) return LoadTable(m, state.mainField, state.secularVariation);
    LoadedTable<Real>& table = LoadedTableOf<Real>(m);
    if (table.model != &m) {
        table.model = nullptr;
        if (!LoadTable(m, table.mainField, table.secularVariation)) return false;
        table.model = &m;
    }
    state.mainField = table.mainField;
    state.secularVariation = table.secularVariation;
    state.loadedBuiltIn = &m;
    return true;
}

// The query in the model's working type, for the date and a year later.
template <typename Real>
int Query(const FieldModel& m, ModelStateOf<Real>& state, double latitude, double longitude, double heightKm,
          double year, MagneticElements& result) {
    using Precision = WorkingPrecision<Real>;
    if (!Fits<Real>(latitude) || !Fits<Real>(longitude) || !Fits<Real>(year) || !Fits<Real>(heightKm))
        return kStatusNotFinite;
    if (!LoadModel(m, state)) return kStatusLoadFailed;
    const auto date = static_cast<Real>(year);
    const auto nextYear = static_cast<Real>(static_cast<double>(date) + kYearStep);
    const std::int32_t degree =
        ExtrapolateBothSets(state, date, nextYear, static_cast<Real>(m.epoch), m.mainDegree, m.secularDegree);

    // Both dates share the position part of the synthesis.
    FieldPositionOf<Real> position;
    ComputeFieldPosition(SpheroidOfModel<Real>(m), static_cast<Real>(latitude),
                         static_cast<Real>(WithinHalfTurn(longitude)), static_cast<Real>(heightKm), degree, position);
    ElementSetOf<Real>& now = state.dateElements;
    ElementSetOf<Real>& next = state.nextYearElements;
    SumFields(position, state.dateCoefficients, now, state.nextYearCoefficients, next);
    ComputeElements(now, static_cast<Real>(kDateUndeterminedMarker), static_cast<Real>(kDateUndeterminedMarker));
    ComputeElements(next, static_cast<Real>(kNextYearUndeterminedMarker),
                    static_cast<Real>(kNextYearNoHorizontalMarker));
    // Far enough from the epoch the field overflows single precision: no record.
    if (!IsFinite(now) || !IsFinite(next)) return kStatusNotFinite;

    result.declinationChange = AngleChange(next.D, now.D);
    result.inclinationChange = AngleChange(next.I, now.I);
    now.D = static_cast<Real>(static_cast<double>(now.D) * Precision::kRadianToDegree);
    now.I = static_cast<Real>(static_cast<double>(now.I) * Precision::kRadianToDegree);
    result.horizontalChange = static_cast<double>(next.H) - now.H;
    result.northChange = static_cast<double>(next.X) - now.X;
    result.eastChange = static_cast<double>(next.Y) - now.Y;
    result.verticalChange = static_cast<double>(next.Z) - now.Z;
    result.totalChange = static_cast<double>(next.F) - now.F;
    SplitAngle<Real>(now.D, result.declinationDegrees, result.declinationMinutes);
    SplitAngle<Real>(now.I, result.inclinationDegrees, result.inclinationMinutes);
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

int ComputeMagneticElements(double latitude, double longitude, double year, MagneticElements& result) {
    return Query(ReferenceField1995(), modelState, latitude, longitude, 0.0, year, result);
}

int ComputeMagneticElements(const FieldModel& m, double latitude, double longitude, double heightKm, double year,
                            MagneticElements& result, const FieldModel** answering) {
    const FieldModel& piece = PieceFor(m, year);
    if (answering != nullptr) *answering = &piece;
    MagneticElements e{};
    const int status = piece.singlePrecision ? Query(piece, modelState, latitude, longitude, heightKm, year, e)
                                             : Query(piece, wideState, latitude, longitude, heightKm, year, e);
    if (status != kStatusOk) return status;
    // No horizontal field, no direction: the angle the record would hold is a marker.
    if (!(e.horizontalIntensity >= static_cast<double>(kUndeterminedThreshold))) return kStatusUndetermined;
    result = e;
    return kStatusOk;
}

}  // namespace model

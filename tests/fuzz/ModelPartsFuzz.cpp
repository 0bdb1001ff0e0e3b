// The variation query's parts one at a time with any values: the element
// derivation, the split into degrees and minutes, the variation text, the
// synthesis at a position, the extrapolation and the coefficient load. The
// sanitizers and the library's checked containers watch every index.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ElementAngles.h"
#include "FieldSynthesis.h"
#include "FuzzInput.h"
#include "MagneticQuery.h"
#include "ModelState.h"
#include "VariationText.h"

namespace {

using model::modelState;

bool SameState(const model::ModelState& a, const model::ModelState& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// An angle in radians, or one of the set's markers.
bool AngleOrMarker(float value, float limit, std::int32_t setCode, bool isDeclination) {
    if (std::fabs(value) <= limit) return true;
    if (setCode == model::kDateSet) return value == model::kDateUndeterminedMarker;
    return value == model::kNextYearUndeterminedMarker ||
           (isDeclination && value == model::kNextYearNoHorizontalMarker);
}

void Elements(fuzz::FuzzInput& input) {
    const auto setCode = input.Take<std::int32_t>();
    const auto x = input.Take<float>();
    const auto y = input.Take<float>();
    const auto z = input.Take<float>();
    for (model::ElementSet* set : {&modelState.dateElements, &modelState.nextYearElements}) {
        set->X = x;
        set->Y = y;
        set->Z = z;
    }
    const model::ModelState before = modelState;
    std::int32_t errorFlag = 0;
    FUZZ_CHECK(model::ComputeElements(setCode, errorFlag) == setCode);
    if (setCode != model::kDateSet && setCode != model::kNextYearSet) {
        FUZZ_CHECK(errorFlag == 1);
        FUZZ_CHECK(SameState(before, modelState));
        return;
    }
    FUZZ_CHECK(errorFlag == 0);
    const model::ElementSet& set = setCode == model::kDateSet ? modelState.dateElements : modelState.nextYearElements;
    FUZZ_CHECK(set.X == x || std::isnan(x));
    if (std::isnan(x) || std::isnan(y) || std::isnan(z)) return;
    FUZZ_CHECK(set.H >= 0.0f && set.F >= set.H);
    if (std::isinf(x) || std::isinf(y) || std::isinf(z)) return;
    FUZZ_CHECK(AngleOrMarker(set.D, model::kHalfTurn, setCode, true));
    FUZZ_CHECK(AngleOrMarker(set.I, model::kHalfTurn / 2, setCode, false));
}

void Split(fuzz::FuzzInput& input) {
    const auto angle = input.Take<float>();
    std::int32_t degrees = 0;
    double minutes = 0.0;
    model::SplitDegrees(angle, degrees, minutes);
    if (!(std::fabs(angle) < 2147483648.0f)) {
        FUZZ_CHECK(degrees == 0);
        FUZZ_CHECK(minutes == angle || (std::isnan(minutes) && std::isnan(angle)));
        return;
    }
    FUZZ_CHECK(degrees == static_cast<std::int64_t>(std::trunc(angle)));
    FUZZ_CHECK(std::fabs(minutes) <= 60.0);
    FUZZ_CHECK(degrees == 0 || minutes >= 0.0);
    FUZZ_CHECK(degrees != 0 || minutes == 0.0 || std::signbit(minutes) == std::signbit(angle));
}

void Text(fuzz::FuzzInput& input) {
    const auto degrees = input.Take<std::int32_t>();
    const auto minutes = input.Take<double>();
    const std::string text = model::FormatVariation(degrees, minutes);
    FUZZ_CHECK(text.size() >= 10);
    FUZZ_CHECK(text.find('\xB0') != std::string::npos);
    FUZZ_CHECK(text.back() == (model::IsWestDeclination(degrees, minutes) ? 'W' : 'E'));
}

// Loads the built-in table and extrapolates it to the date, as a query does.
void Prepare(float date) {
    std::int32_t errorFlag = 0;
    model::LoadCoefficients(model::kMainFieldColumns, model::kMainFieldDegree, model::kMainFieldTarget, errorFlag);
    FUZZ_CHECK(errorFlag == 0);
    model::LoadCoefficients(model::kSecularVariationColumns, model::kSecularVariationDegree,
                            model::kSecularVariationTarget, errorFlag);
    FUZZ_CHECK(errorFlag == 0);
    model::ExtrapolateCoefficients(date, model::kModelEpoch, model::kMainFieldDegree, model::kSecularVariationDegree,
                                   model::kDateSet, errorFlag);
    FUZZ_CHECK(errorFlag == 0);
}

void Synthesis(fuzz::FuzzInput& input) {
    const auto latitude = input.Take<float>();
    const auto longitude = input.Take<float>();
    const auto height = input.Take<float>();
    const auto date = input.Take<float>();
    // Degrees 1 to 12: what the work arrays hold.
    const std::int32_t degree = input.Take<std::uint8_t>() % model::kMaxSynthesisDegree + 1;
    // Degrees 11 and 12 sum the arrays beyond the table: zeros, as at start,
    // not what another part left there.
    modelState = model::ModelState{};
    Prepare(date);
    model::FieldPosition position;
    model::ComputeFieldPosition(latitude, longitude, height, degree, position);
    model::ElementSet elements{};
    model::SumField(position, modelState.dateCoefficients, elements);
    // On the ground, at any finite position, within a million years of the
    // epoch: the field is finite.
    if (std::isfinite(latitude) && std::isfinite(longitude) && height == 0.0f && std::fabs(date) < 1.0e6f) {
        FUZZ_CHECK(std::isfinite(elements.X) && std::isfinite(elements.Y) && std::isfinite(elements.Z));
    }
}

void Extrapolation(fuzz::FuzzInput& input) {
    const auto date = input.Take<float>();
    const auto epoch = input.Take<float>();
    const std::int32_t mainDegree = input.Take<std::uint8_t>() % model::kMaxSynthesisDegree + 1;
    const std::int32_t secularDegree = input.Take<std::uint8_t>() % model::kMaxSynthesisDegree + 1;
    const auto setCode = input.Take<std::int32_t>();
    const model::ModelState before = modelState;
    std::int32_t errorFlag = 0;
    const std::int32_t degree =
        model::ExtrapolateCoefficients(date, epoch, mainDegree, secularDegree, setCode, errorFlag);
    FUZZ_CHECK(degree == (mainDegree > secularDegree ? mainDegree : secularDegree));
    const bool valid = setCode == model::kDateSet || setCode == model::kNextYearSet;
    FUZZ_CHECK(errorFlag == (valid ? 0 : 1));
    if (!valid) FUZZ_CHECK(SameState(before, modelState));
}

void Load(fuzz::FuzzInput& input) {
    const auto columnChoice = input.Take<std::int32_t>();
    const auto degree = input.Take<std::int32_t>();
    const auto targetCode = input.Take<std::int32_t>();
    const model::ModelState before = modelState;
    std::int32_t errorFlag = 0;
    const std::int32_t result = model::LoadCoefficients(columnChoice, degree, targetCode, errorFlag);
    FUZZ_CHECK(result == 0 || result == model::kTableOutOfOrder);
    FUZZ_CHECK(result == 0 || degree > model::kMainFieldDegree);
    const bool valid = targetCode == model::kMainFieldTarget || targetCode == model::kSecularVariationTarget;
    if (valid) {
        FUZZ_CHECK(errorFlag == 0);
    } else {
        FUZZ_CHECK(errorFlag == (degree >= 1 ? 1 : 0));
        FUZZ_CHECK(SameState(before, modelState));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    switch (input.Take<std::uint8_t>() % 6) {
    case 0: Elements(input); break;
    case 1: Split(input); break;
    case 2: Text(input); break;
    case 3: Synthesis(input); break;
    case 4: Extrapolation(input); break;
    default: Load(input); break;
    }
    return 0;
}

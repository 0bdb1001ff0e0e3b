// The variation query with any three doubles: status 0 with a record of
// finite values (or the documented markers), or status 4 with the record
// untouched; and no trace of the query in the next one.
#include <cmath>
#include <cstring>

#include "FuzzInput.h"
#include "model/MagneticModel.h"
#include "model/VariationText.h"

namespace {

// D and I at a point without a determined direction, converted like an angle.
constexpr std::int32_t kUndeterminedDegrees = 3279523;
constexpr double kUndeterminedMinutes = 30.0;

bool AllFinite(const model::MagneticElements& e) {
    const double values[] = {e.declinationChange,  e.inclinationChange,   e.horizontalChange, e.northChange,
                             e.eastChange,         e.verticalChange,      e.totalChange,      e.declinationMinutes,
                             e.inclinationMinutes, e.horizontalIntensity, e.northComponent,   e.eastComponent,
                             e.verticalComponent,  e.totalIntensity};
    for (const double v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// Whole degrees within +-limit with minutes by the sign rule, or the marker.
bool DegreesAndMinutesValid(std::int32_t degrees, double minutes, std::int32_t limit) {
    if (degrees == kUndeterminedDegrees) return minutes == kUndeterminedMinutes;
    if (degrees < -limit || degrees > limit) return false;
    if (std::fabs(minutes) > 60.0) return false;
    return degrees == 0 || minutes >= 0.0;
}

model::MagneticElements Sentinel() {
    model::MagneticElements e;
    std::memset(&e, 0xA5, sizeof e);
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const auto [latitude, longitude, year] = input.TakeMany<double, 3>();

    // A known query before and after: nothing may carry over between queries.
    static model::MagneticElements london = [] {
        model::MagneticElements e{};
        FUZZ_CHECK(model::ComputeMagneticElements(51.5, 0.0, 1997.0, e) == model::kStatusOk);
        return e;
    }();

    const model::MagneticElements before = Sentinel();
    model::MagneticElements result = before;
    const int status = model::ComputeMagneticElements(latitude, longitude, year, result);
    FUZZ_CHECK(status == model::kStatusOk || status == model::kStatusNotFinite);
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(year)) {
        FUZZ_CHECK(status == model::kStatusNotFinite);
    }
    if (status == model::kStatusNotFinite) {
        FUZZ_CHECK(std::memcmp(&result, &before, sizeof result) == 0);
    } else {
        FUZZ_CHECK(AllFinite(result));
        FUZZ_CHECK(DegreesAndMinutesValid(result.declinationDegrees, result.declinationMinutes, 180));
        FUZZ_CHECK(DegreesAndMinutesValid(result.inclinationDegrees, result.inclinationMinutes, 90));
        FUZZ_CHECK(result.horizontalIntensity >= 0.0);
        FUZZ_CHECK(result.totalIntensity >= result.horizontalIntensity);
        const std::string text = model::FormatVariation(result.declinationDegrees, result.declinationMinutes);
        FUZZ_CHECK(!text.empty() && text.size() <= 16);
        FUZZ_CHECK(text.back() == 'E' || text.back() == 'W');
    }

    model::MagneticElements again{};
    FUZZ_CHECK(model::ComputeMagneticElements(51.5, 0.0, 1997.0, again) == model::kStatusOk);
    FUZZ_CHECK(std::memcmp(&again, &london, sizeof again) == 0);
    return 0;
}

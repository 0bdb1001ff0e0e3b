// The model's public parts with any values: the query of either built-in
// model, or of a model whose degrees and coefficients are anything, at any
// position, height and date; and the variation text. The sanitizers and the
// library's checked containers watch every index of the engine's arrays.
#include <cmath>
#include <cstring>
#include <string>

#include "FuzzInput.h"
#include "model/FieldModel.h"
#include "model/MagneticModel.h"
#include "model/VariationText.h"

namespace {

// Whole degrees within +-limit with minutes by the sign rule, or an
// undetermined direction's marker (999 degrees in radians, in degrees).
bool AngleOrMarker(std::int32_t degrees, double minutes, std::int32_t limit) {
    constexpr std::int32_t kMarkerDegrees = 3279523;
    if (degrees == kMarkerDegrees || degrees == kMarkerDegrees + 1) return true;
    return degrees >= -limit && degrees <= limit && std::fabs(minutes) <= 60.0 && (degrees == 0 || minutes >= 0.0);
}

void Query(fuzz::FuzzInput& input) {
    const auto choice = input.Take<std::uint8_t>();
    model::FieldModel m = choice % 2 == 0 ? model::Wmm2025() : model::ReferenceField1995();
    if (choice % 4 >= 2) {
        // Any degrees (a table too short for them has no field), any values.
        m.mainDegree = input.Take<std::uint8_t>() % 16;
        m.secularDegree = input.Take<std::uint8_t>() % 16;
        m.coefficients.resize(input.Take<std::uint8_t>() % (m.coefficients.size() + 1));
        const auto changed = input.Take<std::uint8_t>();
        if (!m.coefficients.empty()) {
            m.coefficients[changed % m.coefficients.size()].g = input.Take<double>();
        }
    }
    const auto [latitude, longitude, height, year] = input.TakeMany<double, 4>();
    model::MagneticElements sentinel;
    std::memset(&sentinel, 0xA5, sizeof sentinel);
    model::MagneticElements e = sentinel;
    const int status = model::ComputeMagneticElements(m, latitude, longitude, height, year, e);
    if (status != model::kStatusOk) {
        FUZZ_CHECK(status == model::kStatusNotFinite || status == model::kStatusLoadFailed ||
                   status == model::kStatusUndetermined);
        FUZZ_CHECK(std::memcmp(&e, &sentinel, sizeof e) == 0);
        return;
    }
    const double values[] = {e.declinationChange,  e.inclinationChange,   e.horizontalChange, e.northChange,
                             e.eastChange,         e.verticalChange,      e.totalChange,      e.declinationMinutes,
                             e.inclinationMinutes, e.horizontalIntensity, e.northComponent,   e.eastComponent,
                             e.verticalComponent,  e.totalIntensity};
    for (const double v : values) FUZZ_CHECK(std::isfinite(v));
    FUZZ_CHECK(e.horizontalIntensity >= 0.0 && e.totalIntensity >= e.horizontalIntensity);
    FUZZ_CHECK(AngleOrMarker(e.declinationDegrees, e.declinationMinutes, 180));
    FUZZ_CHECK(AngleOrMarker(e.inclinationDegrees, e.inclinationMinutes, 90));
}

void Text(fuzz::FuzzInput& input) {
    const auto degrees = input.Take<std::int32_t>();
    const auto minutes = input.Take<double>();
    const std::string text = model::FormatVariation(degrees, minutes);
    FUZZ_CHECK(text.size() >= 10);
    FUZZ_CHECK(text.find('\xB0') != std::string::npos);
    FUZZ_CHECK(text.back() == (model::IsWestDeclination(degrees, minutes) ? 'W' : 'E'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    if (input.Take<std::uint8_t>() % 2 == 0) {
        Query(input);
    } else {
        Text(input);
    }
    return 0;
}

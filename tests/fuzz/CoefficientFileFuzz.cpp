// The coefficient-file reader with any bytes: either a whole model (degrees 1
// to 13, every record in order, five years from an epoch within 1900 to 2100,
// nothing but 9s after the closing line) that the query can use, or an error
// naming a line and the model left as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "model/FieldModel.h"
#include "model/MagneticModel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    model::FieldModel read;
    read.name = "untouched";
    std::string error;
    if (!model::ReadCoefficientFile(text, read, error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        FUZZ_CHECK(read.name == "untouched" && read.coefficients.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(read.mainDegree >= 1 && read.mainDegree <= 13 && read.secularDegree == read.mainDegree);
    const auto n = static_cast<std::size_t>(read.mainDegree);
    FUZZ_CHECK(read.coefficients.size() == n * (n + 3) / 2);
    FUZZ_CHECK(read.epoch >= 1900.0 && read.epoch <= 2100.0 && read.lastYear == read.epoch + 5.0);
    for (std::size_t i = 0; i < read.coefficients.size(); ++i) {
        const model::CoefficientRecord& r = read.coefficients[i];
        FUZZ_CHECK(std::isfinite(r.g) && std::isfinite(r.h) && std::isfinite(r.gdot) && std::isfinite(r.hdot));
    }
    // A model read is a model the query takes: a record with a declination
    // within a half turn, or a clear refusal (no field, or no direction).
    model::MagneticElements e{};
    const int status = model::ComputeMagneticElements(read, 51.5, -0.1, 0.0, read.epoch, e);
    FUZZ_CHECK(status == model::kStatusOk || status == model::kStatusNotFinite || status == model::kStatusUndetermined);
    FUZZ_CHECK(status != model::kStatusOk || std::fabs(model::SignedDeclination(e)) <= 180.0);
    return 0;
}

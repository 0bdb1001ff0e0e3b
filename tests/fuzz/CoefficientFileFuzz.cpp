// The coefficient-file reader with any bytes: either a whole model (degrees 1
// to 13, every record in order, five years from an epoch within 1900 to 2100,
// nothing but 9s after the closing line) that the query can use, or an error
// naming a line and the model left as it was.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "ModelFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    model::FieldModel read;
    if (!fuzz::ReadOrRefuse(model::ReadCoefficientFile, data, size, read)) return 0;
    FUZZ_CHECK(read.mainDegree >= 1 && read.mainDegree <= 13 && read.secularDegree == read.mainDegree);
    const auto n = static_cast<std::size_t>(read.mainDegree);
    FUZZ_CHECK(read.coefficients.size() == n * (n + 3) / 2);
    FUZZ_CHECK(read.epoch >= 1900.0 && read.epoch <= 2100.0 && read.lastYear == read.epoch + 5.0);
    for (const model::CoefficientRecord& r : read.coefficients) {
        FUZZ_CHECK(std::isfinite(r.g) && std::isfinite(r.h) && std::isfinite(r.gdot) && std::isfinite(r.hdot));
    }
    fuzz::CheckQueryTakes(read, read.epoch);
    return 0;
}

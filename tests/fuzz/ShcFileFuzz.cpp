// The SHC reader with any bytes: either a whole model, one piece per interval
// between increasing epochs, that the query can use at any of its years, or an
// error naming a line and the model left as it was.
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
    if (!model::ReadShcFile(text, read, error)) {
        FUZZ_CHECK(error.rfind("line ", 0) == 0);
        FUZZ_CHECK(read.name == "untouched" && read.pieces.empty());
        return 0;
    }
    FUZZ_CHECK(error.empty() && !read.pieces.empty());
    FUZZ_CHECK(read.firstYear >= 1900.0 && read.lastYear <= 2100.0);
    double epoch = read.firstYear;
    for (const model::FieldModel& piece : read.pieces) {
        FUZZ_CHECK(piece.epoch == epoch && piece.lastYear > piece.epoch && piece.pieces.empty());
        FUZZ_CHECK(piece.mainDegree >= 1 && piece.mainDegree <= read.mainDegree);
        const auto n = static_cast<std::size_t>(piece.mainDegree);
        FUZZ_CHECK(piece.coefficients.size() == n * (n + 3) / 2);
        epoch = piece.lastYear;
    }
    FUZZ_CHECK(epoch == read.lastYear);
    // A model read is a model the query takes, at its first and last years: a
    // record or a clear refusal.
    for (const double year : {read.firstYear, read.lastYear}) {
        model::MagneticElements e{};
        const int status = model::ComputeMagneticElements(read, 51.5, -0.1, 0.0, year, e);
        FUZZ_CHECK(status == model::kStatusOk || status == model::kStatusNotFinite ||
                   status == model::kStatusUndetermined);
    }
    return 0;
}

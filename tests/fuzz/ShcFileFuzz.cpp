// The SHC reader with any bytes: either a whole model, one piece per interval
// between increasing epochs, that the query can use at any of its years, or an
// error naming a line and the model left as it was.
#include <cstddef>
#include <cstdint>

#include "ModelFileFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    model::FieldModel read;
    if (!fuzz::ReadOrRefuse(model::ReadShcFile, data, size, read)) return 0;
    FUZZ_CHECK(!read.pieces.empty() && read.firstYear >= 1900.0 && read.lastYear <= 2100.0);
    double epoch = read.firstYear;
    for (const model::FieldModel& piece : read.pieces) {
        FUZZ_CHECK(piece.epoch == epoch && piece.lastYear > piece.epoch && piece.pieces.empty());
        FUZZ_CHECK(piece.mainDegree >= 1 && piece.mainDegree <= read.mainDegree);
        const auto n = static_cast<std::size_t>(piece.mainDegree);
        FUZZ_CHECK(piece.coefficients.size() == n * (n + 3) / 2);
        epoch = piece.lastYear;
    }
    FUZZ_CHECK(epoch == read.lastYear);
    for (const double year : {read.firstYear, read.lastYear}) {
        fuzz::CheckQueryTakes(read, year);
    }
    return 0;
}

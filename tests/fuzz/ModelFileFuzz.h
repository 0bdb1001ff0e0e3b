// What the two coefficient-file targets share: a reader run on the bytes, what
// a refusal must leave, and what the query must make of a model read.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "model/FieldModel.h"
#include "model/MagneticModel.h"

namespace fuzz {

// True with a model read; false once a refusal is checked to name a line and
// to leave the model as it was.
inline bool ReadOrRefuse(bool (*reader)(std::string_view, model::FieldModel&, std::string&), const std::uint8_t* data,
                         std::size_t size, model::FieldModel& read) {
    read.name = "untouched";
    std::string error;
    if (reader(std::string_view(reinterpret_cast<const char*>(data), size), read, error)) {
        FUZZ_CHECK(error.empty());
        return true;
    }
    FUZZ_CHECK(error.rfind("line ", 0) == 0);
    FUZZ_CHECK(read.name == "untouched" && read.coefficients.empty() && read.pieces.empty());
    return false;
}

// A model read is one the query takes at that year: a record with a
// declination within a half turn, or a clear refusal (no field, or no direction).
inline void CheckQueryTakes(const model::FieldModel& m, double year) {
    model::MagneticElements e{};
    const int status = model::ComputeMagneticElements(m, 51.5, -0.1, 0.0, year, e);
    FUZZ_CHECK(status == model::kStatusOk || status == model::kStatusNotFinite || status == model::kStatusUndetermined);
    FUZZ_CHECK(status != model::kStatusOk || std::fabs(model::SignedDeclination(e)) <= 180.0);
}

}  // namespace fuzz

#include "FieldModel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "BuiltInFiles.h"
#include "CoefficientRecord.h"

namespace model {

namespace {

// Both built-in models expand the field in a series of reference radius
// 6371.2 km, the radius of the International Geomagnetic Reference Field.
constexpr double kReferenceRadiusKm = 6371.2;

FieldModel MakeReferenceField1995() {
    FieldModel m;
    m.name = "1995.0 reference field";
    m.epoch = 1995.0;
    m.firstYear = 1995.0;
    m.lastYear = 2000.0;
    m.mainDegree = kMainFieldDegree;
    m.secularDegree = kSecularVariationDegree;
    m.referenceRadiusKm = kReferenceRadiusKm;
    // The field's own ellipsoid: a = 6378.160 km, b = 6356.775 km (the IAU 1968
    // figure). In single precision a^2 and b^2 are 40680924 and 40408588 km^2,
    // the values the field has always been evaluated with.
    constexpr double kA = 6378.160;
    constexpr double kB = 6356.775;
    m.semiMajorAxisKm = kA;
    m.inverseFlattening = kA / (kA - kB);
    m.singlePrecision = true;
    m.coefficients.assign(std::begin(kCoefficientTable), std::end(kCoefficientTable));
    m.key = "igrf1995";
    return m;
}

// A built-in model from its data file, through the reader a user's file takes,
// with the name Dexlin shows and the key answers give, its pieces' too.
FieldModel ReadBuiltIn(std::string_view file, bool (*read)(std::string_view, FieldModel&, std::string&),
                       const char* name, const char* key) {
    FieldModel m;
    std::string error;
    if (!read(BuiltInFileText(file), m, error)) {
        throw std::logic_error("the built-in " + std::string(file) + ": " + error);  // the build embedded a broken file
    }
    m.name = name;
    m.key = key;
    for (FieldModel& piece : m.pieces) {
        piece.name = m.name;
        piece.key = m.key;
    }
    return m;
}

// WMM2025 (NOAA NCEI and BGS, epoch 2025.0): degree and order 12, valid five
// years, WGS 84, double precision, with its published error model. Its file's
// header says "WMM-2025"; Dexlin has always shown it as "WMM2025".
FieldModel MakeWmm2025() {
    FieldModel m = ReadBuiltIn("WMM2025.COF", ReadCoefficientFile, "WMM2025", "wmm2025");
    m.errors = &kWmm2025Errors;
    return m;
}

// IGRF-14 (IAGA Working Group V-MOD): 1900.0 to 2030.0 from its SHC file.
FieldModel MakeIgrf14() { return ReadBuiltIn("IGRF14.SHC", ReadShcFile, "IGRF-14", "igrf14"); }

// IGRF-14's intervals up to 2025.0, then WMM2025, each answering as itself.
FieldModel MakeModelForTheDate() {
    const FieldModel& igrf = Igrf14();
    const FieldModel& wmm = Wmm2025();
    FieldModel m = igrf;
    m.name = "the model chosen for the date";
    m.key = "auto";
    m.lastYear = wmm.lastYear;
    m.answersOnlyInItsYears = true;
    std::erase_if(m.pieces, [&](const FieldModel& piece) { return piece.epoch >= wmm.epoch; });
    m.pieces.push_back(wmm);
    return m;
}

}  // namespace

const FieldModel& ReferenceField1995() {
    static const FieldModel m = MakeReferenceField1995();
    return m;
}

const FieldModel& Wmm2025() {
    static const FieldModel m = MakeWmm2025();
    return m;
}

const FieldModel& Igrf14() {
    static const FieldModel m = MakeIgrf14();
    return m;
}

const FieldModel& ModelForTheDate() {
    static const FieldModel m = MakeModelForTheDate();
    return m;
}

namespace {

// The one list of built-in models. Each key is spelled here and nowhere else.
constexpr std::array kBuiltInModels{
    BuiltInModel{"auto", ModelForTheDate, "the model of the date: wmm2025 from 2025, igrf14 from 1900"},
    BuiltInModel{"wmm2025", Wmm2025, "the World Magnetic Model 2025, 2025 to 2030"},
    BuiltInModel{"igrf14", Igrf14, "IGRF-14, the reference field of 1900 to 2030"},
    BuiltInModel{"igrf1995", ReferenceField1995, "the 1995.0 reference field, 1995 to 2000"},
};

// The usage texts put the summaries in a column this far after the key's start.
constexpr std::size_t kKeyColumn = 10;

}  // namespace

std::span<const BuiltInModel> BuiltInModels() { return kBuiltInModels; }

const FieldModel* FindBuiltInModel(std::string_view key) {
    const auto sameLetters = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
    for (const BuiltInModel& row : kBuiltInModels) {
        if (std::ranges::equal(key, row.key, sameLetters)) {
            return &row.model();
        }
    }
    return nullptr;
}

std::string_view BuiltInKey(const FieldModel& m) {
    for (const BuiltInModel& row : kBuiltInModels) {
        if (&row.model() == &m) {
            return row.key;
        }
    }
    return {};
}

bool IsBuiltInModel(const FieldModel& m) {
    const std::less<const FieldModel*> before;
    for (const BuiltInModel& row : kBuiltInModels) {
        const FieldModel& builtIn = row.model();
        const FieldModel* pieces = builtIn.pieces.data();
        if (&m == &builtIn || (!before(&m, pieces) && before(&m, pieces + builtIn.pieces.size()))) {
            return true;
        }
    }
    return false;
}

std::string BuiltInKeys(std::string_view separator) {
    std::string keys;
    for (const BuiltInModel& row : kBuiltInModels) {
        if (!keys.empty()) {
            keys += separator;
        }
        keys += row.key;
    }
    return keys;
}

std::string BuiltInModelLines(std::string_view indent) {
    std::string lines;
    for (const BuiltInModel& row : kBuiltInModels) {
        lines += indent;
        lines += row.key;
        lines.append(row.key.size() < kKeyColumn ? kKeyColumn - row.key.size() : 1, ' ');
        lines += row.summary;
        lines += '\n';
    }
    return lines;
}

bool CoversYear(const FieldModel& m, double year, YearEnds ends) {
    if (ends == YearEnds::Excluded) {
        return m.firstYear < year && year < m.lastYear;
    }
    return m.firstYear <= year && year <= m.lastYear;
}

bool CoversHeight(const FieldModel& m, double heightKm) {
    return m.lowestHeightKm <= heightKm && heightKm <= m.highestHeightKm;
}

}  // namespace model

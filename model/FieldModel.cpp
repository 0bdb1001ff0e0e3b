#include "FieldModel.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <stdexcept>

#include "Engine.h"

namespace model {

namespace {

FieldModel MakeReferenceField1995() {
    FieldModel m;
    m.name = "1995.0 reference field";
    m.key = "igrf1995";
    m.epoch = m.firstYear = 1995.0;
    m.lastYear = 2000.0;
    m.mainDegree = kMainFieldDegree;
    m.secularDegree = kSecularVariationDegree;
    m.referenceRadiusKm = 6371.2;  // the International Geomagnetic Reference Field's
    // The field's own ellipsoid: a = 6378.160 km, b = 6356.775 km (the IAU 1968
    // figure). In single precision a^2 and b^2 are 40680924 and 40408588 km^2,
    // the values the field has always been evaluated with.
    constexpr double kA = 6378.160;
    constexpr double kB = 6356.775;
    m.semiMajorAxisKm = kA;
    m.inverseFlattening = kA / (kA - kB);
    m.singlePrecision = true;
    m.coefficients.assign(std::begin(kCoefficientTable), std::end(kCoefficientTable));
    return m;
}

// A built-in model from its data file, through the reader a user's file
// takes, named as Dexlin shows it, its pieces too.
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

// WMM2025's file header says "WMM-2025"; Dexlin has always shown "WMM2025".
FieldModel MakeWmm2025() {
    FieldModel m = ReadBuiltIn("WMM2025.COF", ReadCoefficientFile, "WMM2025", "wmm2025");
    m.errors = &kWmm2025Errors;
    return m;
}

FieldModel MakeIgrf14() { return ReadBuiltIn("IGRF14.SHC", ReadShcFile, "IGRF-14", "igrf14"); }

// IGRF-14's intervals up to 2025.0, then WMM2025, each answering as itself.
FieldModel MakeModelForTheDate() {
    const FieldModel& wmm = Wmm2025();
    FieldModel m = Igrf14();
    m.name = "the model chosen for the date";
    m.key = "auto";
    m.lastYear = wmm.lastYear;
    m.answersOnlyInItsYears = true;
    std::erase_if(m.pieces, [&](const FieldModel& piece) { return piece.epoch >= wmm.epoch; });
    m.pieces.push_back(wmm);
    return m;
}

// The one list of built-in models. Each key is spelled here and nowhere else.
constexpr std::array kBuiltInModels{
    BuiltInModel{"auto", ModelForTheDate, "the model of the date: wmm2025 from 2025, igrf14 from 1900"},
    BuiltInModel{"wmm2025", Wmm2025, "the World Magnetic Model 2025, 2025 to 2030"},
    BuiltInModel{"igrf14", Igrf14, "IGRF-14, the reference field of 1900 to 2030"},
    BuiltInModel{"igrf1995", ReferenceField1995, "the 1995.0 reference field, 1995 to 2000"},
};

// The usage texts put the summaries in a column this far after the key's start.
constexpr std::size_t kKeyColumn = 10;

bool Mark(FieldModel& m) {
    m.builtIn = &m;
    for (FieldModel& piece : m.pieces) piece.builtIn = &piece;
    return true;
}

// A built-in model, made once and marked before any caller sees it.
template <FieldModel (*make)()>
const FieldModel& BuiltIn() {
    static FieldModel m = make();
    [[maybe_unused]] static const bool marked = Mark(m);
    return m;
}

}  // namespace

const FieldModel& ReferenceField1995() { return BuiltIn<MakeReferenceField1995>(); }
const FieldModel& Wmm2025() { return BuiltIn<MakeWmm2025>(); }
const FieldModel& Igrf14() { return BuiltIn<MakeIgrf14>(); }
const FieldModel& ModelForTheDate() { return BuiltIn<MakeModelForTheDate>(); }

std::span<const BuiltInModel> BuiltInModels() { return kBuiltInModels; }

const FieldModel* FindBuiltInModel(std::string_view key) {
    const auto sameLetters = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
    for (const BuiltInModel& row : kBuiltInModels) {
        if (std::ranges::equal(key, row.key, sameLetters)) return &row.model();
    }
    return nullptr;
}

std::string_view BuiltInKey(const FieldModel& m) {
    return IsBuiltInModel(m) && FindBuiltInModel(m.key) == &m ? std::string_view(m.key) : std::string_view();
}

std::string BuiltInKeys(std::string_view separator) {
    std::string keys;
    for (const BuiltInModel& row : kBuiltInModels) keys.append(keys.empty() ? "" : separator).append(row.key);
    return keys;
}

std::string BuiltInModelLines(std::string_view indent) {
    std::string lines;
    for (const BuiltInModel& row : kBuiltInModels) {
        lines.append(indent).append(row.key).append(row.key.size() < kKeyColumn ? kKeyColumn - row.key.size() : 1, ' ');
        lines.append(row.summary).append(1, '\n');
    }
    return lines;
}

bool CoversYear(const FieldModel& m, double year, YearEnds ends) {
    if (ends == YearEnds::Excluded) return m.firstYear < year && year < m.lastYear;
    return m.firstYear <= year && year <= m.lastYear;
}

bool CoversHeight(const FieldModel& m, double heightKm) {
    return m.lowestHeightKm <= heightKm && heightKm <= m.highestHeightKm;
}

}  // namespace model

// Field models as data: the built-in models and models read from coefficient files.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Uncertainty.h"

namespace model {

// One row of a coefficient table (order before degree): g, h in nT at the
// epoch, gdot, hdot in nT per year; h and hdot are 0 where m is 0.
struct CoefficientRecord {
    double m, n, g, h, gdot, hdot;
};

// A spherical-harmonic model of the main field and its secular variation.
struct FieldModel {
    std::string name;
    std::string key;         // what answers call it: a built-in model's key ("wmm2025"), empty for a file's
    double epoch = 0.0;      // decimal year of the coefficients
    double firstYear = 0.0;  // years of validity, both included
    double lastYear = 0.0;
    int mainDegree = 0;  // degrees summed (at most 13)
    int secularDegree = 0;
    double referenceRadiusKm = 0.0;  // radius of the harmonic series
    double semiMajorAxisKm = 0.0;    // ellipsoid of the geodetic positions
    double inverseFlattening = 0.0;
    // Heights above the ellipsoid the model is meant for, km, both included.
    double lowestHeightKm = -1.0;
    double highestHeightKm = 850.0;
    bool singlePrecision = false;  // every intermediate stored in float, as the 1995 field always was
    // The model chosen for the date answers only within its years; others answer any year.
    bool answersOnlyInItsYears = false;
    const ErrorModel* errors = nullptr;  // published one-sigma errors, where it has them
    // Degree by degree, m from 0 to n, at least to the larger of the two degrees.
    std::vector<CoefficientRecord> coefficients;
    // A model given at several epochs: one single-epoch piece per interval, in
    // order, changing linearly to the next epoch (empty for a single epoch).
    std::vector<FieldModel> pieces;
    // Where it is a built-in model or one of its pieces (which never change), the
    // object itself; a copy, which may be changed, points elsewhere.
    const FieldModel* builtIn = nullptr;
};

// The built-in models, each made on first use: the 1995.0 reference field
// (1995 to 2000, degree 10, single precision); WMM2025 (NOAA NCEI and BGS;
// 2025 to 2030, degree 12); IGRF-14 (IAGA Working Group V-MOD; 1900 to 2030,
// degree 13 from 2000); the model chosen for the date (IGRF-14, from 2025 WMM2025).
const FieldModel& ReferenceField1995();
const FieldModel& Wmm2025();
const FieldModel& Igrf14();
const FieldModel& ModelForTheDate();

// A row of the built-in models: the key --model takes, the model, what the usage texts say.
struct BuiltInModel {
    std::string_view key;
    const FieldModel& (*model)();
    std::string_view summary;
};

// The built-in models, in the order the usage texts list them.
std::span<const BuiltInModel> BuiltInModels();

// The built-in model of a key, in any case ("WMM2025"); nullptr for any other.
const FieldModel* FindBuiltInModel(std::string_view key);

// The key of a built-in model (the object itself); empty for a piece, a copy or a file's model.
std::string_view BuiltInKey(const FieldModel& m);

// True for a built-in model or one of its pieces (the object itself); false for a copy or a file's model.
inline bool IsBuiltInModel(const FieldModel& m) { return m.builtIn == &m; }

// The keys joined by separator: "igrf1995|wmm2025".
std::string BuiltInKeys(std::string_view separator);

// The usage lines of the built-in models: indent, the key padded to a column, the summary.
std::string BuiltInModelLines(std::string_view indent);

// Whether a year lies within the model's years, both ends included or both
// excluded (the window's variation gate, as the 1995 program always had).
enum class YearEnds { Included, Excluded };
bool CoversYear(const FieldModel& m, double year, YearEnds ends = YearEnds::Included);

// True when a height above the ellipsoid (km) lies within the model's heights.
bool CoversHeight(const FieldModel& m, double heightKm);

// Below this height (km) a point lies inside the Earth's core: refused, not answered.
inline constexpr double kCoreHeightKm = -6000.0;

// A coefficient file is a few kilobytes; anything larger is not one.
inline constexpr std::size_t kMaxModelFileBytes = std::size_t{1} << 20;

// The model --model names: a built-in one by its key, else the coefficient
// file at that path (a regular file of at most kMaxModelFileBytes) read into
// `loaded`. nullptr on failure, with error like "PATH: line 7: expected n m g
// h gdot hdot" (control bytes of the path shown as '?').
const FieldModel* LoadFieldModel(std::string_view keyOrPath, FieldModel& loaded, std::string& error);

// Reads the standard layout: a header (epoch within 1900 to 2100, name,
// release date), lines "n m g h gdot hdot" by degree, and a closing line of 9s
// (only more 9s and blank lines may follow). Valid five years from the epoch,
// on WGS 84 with a reference radius of 6371.2 km. On failure model is left as
// it was and error reads like "line 7: expected n m g h gdot hdot".
[[nodiscard]] bool ReadCoefficientFile(std::string_view text, FieldModel& model, std::string& error);

// Reads the SHC layout: '#' comments, a header "nmin nmax epochs spline-order
// steps start end", the epochs (increasing, 1900 to 2100), and per coefficient
// "n m" and its value at each epoch, g(n,m) before h(n,m) (m or -m); degrees 1
// to 13, linear change (spline order 2). Valid from the first epoch to the
// last, otherwise as ReadCoefficientFile ("line 7: expected g(2,1): n m and 27 numbers").
[[nodiscard]] bool ReadShcFile(std::string_view text, FieldModel& model, std::string& error);

// The piece whose interval holds a year (the last epoch in the last), the
// nearest outside the model's years; a model of one epoch itself.
const FieldModel& PieceFor(const FieldModel& m, double year);

}  // namespace model

// Field models as data: the built-in 1995.0 reference field, WMM2025, and
// models read from coefficient files.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Uncertainty.h"

namespace model {

// One row of a coefficient table. The order m comes before the degree n.
struct CoefficientRecord {
    double m;     // order, a whole number
    double n;     // degree, a whole number
    double g;     // main-field g(n,m) at the epoch, nT
    double h;     // main-field h(n,m) at the epoch, nT; 0 where m is 0
    double gdot;  // secular variation of g(n,m), nT per year
    double hdot;  // secular variation of h(n,m), nT per year; 0 where m is 0
};

// A spherical-harmonic model of the main field and its secular variation.
struct FieldModel {
    std::string name;
    // What answers call the model: a built-in model's key ("wmm2025"), empty
    // for one read from a file.
    std::string key;
    double epoch = 0.0;      // decimal year of the coefficients
    double firstYear = 0.0;  // years of validity, both included
    double lastYear = 0.0;
    int mainDegree = 0;  // degrees summed: main field and secular variation (at most 13)
    int secularDegree = 0;
    double referenceRadiusKm = 0.0;  // radius of the harmonic series
    double semiMajorAxisKm = 0.0;    // ellipsoid of the geodetic positions
    double inverseFlattening = 0.0;
    // Heights above the ellipsoid the model is meant for, km, both included:
    // from just below sea level to the top of low orbits, as WMM2025's report
    // states; the 1995 field and coefficient files take the same.
    double lowestHeightKm = -1.0;
    double highestHeightKm = 850.0;
    // True: evaluated with single-precision storage of every intermediate, as
    // the 1995 field always was; false: double precision throughout.
    bool singlePrecision = false;
    // A model that only answers within its years (the one chosen for the
    // date has nothing to extrapolate from); others answer any year.
    bool answersOnlyInItsYears = false;
    // The model's published one-sigma errors, where it has them.
    const ErrorModel* errors = nullptr;
    // Degree by degree, m from 0 to n within a degree, at least to the larger
    // of the two degrees.
    std::vector<CoefficientRecord> coefficients;
    // A model given at several epochs, its coefficients changing linearly
    // between them: one single-epoch piece per interval, in order (empty for a
    // model of one epoch). The query evaluates the piece that holds the date.
    std::vector<FieldModel> pieces;
};

// The 1995.0 reference field, valid 1995.0 to 2000.0: main field to degree 10,
// secular variation to degree 8, single precision.
const FieldModel& ReferenceField1995();

// The World Magnetic Model 2025 (NOAA NCEI and BGS, WMM2025 technical report):
// degree 12, valid 2025.0 to 2030.0, WGS 84, double precision.
const FieldModel& Wmm2025();

// One row of the list of built-in models: the key --model takes, the model,
// and what the usage texts say of it. Adding a built-in model is one row here
// (model/FieldModel.cpp) and its data file.
struct BuiltInModel {
    std::string_view key;
    const FieldModel& (*model)();
    std::string_view summary;  // "the built-in 1995.0 reference field, 1995 to 2000"
};

// The built-in models, in the order the usage texts list them.
std::span<const BuiltInModel> BuiltInModels();

// The International Geomagnetic Reference Field, 14th generation (IAGA
// Working Group V-MOD): 1900.0 to 2030.0, degree 10 to 1995 and 13 from 2000,
// changing linearly between its epochs five years apart.
const FieldModel& Igrf14();

// The model chosen for the date: WMM2025 from 2025.0 to 2030.0, IGRF-14 from
// 1900.0 to 2025.0; outside those years no model answers.
const FieldModel& ModelForTheDate();

// The built-in model of a key, in any case ("wmm2025", "WMM2025"); nullptr for any other.
const FieldModel* FindBuiltInModel(std::string_view key);

// The key of a built-in model (the object itself, not a copy); empty for any other.
std::string_view BuiltInKey(const FieldModel& m);

// True for a built-in model or one of its pieces (the object itself, never
// changed after it is made); false for a copy or a model read from a file.
bool IsBuiltInModel(const FieldModel& m);

// The keys joined by separator: "igrf1995|wmm2025".
std::string BuiltInKeys(std::string_view separator);

// The usage lines of the built-in models: indent, the key padded to a column,
// the summary, one line each.
std::string BuiltInModelLines(std::string_view indent);

// Whether a year lies within the model's years: both ends included (the
// model is meant for it), or both excluded (the window's variation gate,
// strictly between the first and last years, as the 1995 program always had).
enum class YearEnds { Included, Excluded };
bool CoversYear(const FieldModel& m, double year, YearEnds ends = YearEnds::Included);

// True when a height above the ellipsoid (km) lies within the model's heights.
bool CoversHeight(const FieldModel& m, double heightKm);

// Below this height (km) a point lies inside the Earth's core, where no main
// field model means anything: such a request is refused, not answered.
inline constexpr double kCoreHeightKm = -6000.0;

// A coefficient file is a few kilobytes; anything larger is not one.
inline constexpr std::size_t kMaxModelFileBytes = std::size_t{1} << 20;

// The model --model names: a built-in one by its key, else the coefficient file
// at that path, read into `loaded`. Only a regular file is opened (a FIFO, a
// device or a directory is refused before it is opened, so nothing blocks),
// of at most kMaxModelFileBytes. nullptr on failure, with error reading like
// "PATH: No such file or directory" or "PATH: line 7: expected n m g h gdot
// hdot", the path with control bytes shown as '?' (the caller adds its prefix).
const FieldModel* LoadFieldModel(std::string_view keyOrPath, FieldModel& loaded, std::string& error);

// Reads a model in the standard coefficient-file layout: a header line (epoch,
// model name, release date), lines "n m g h gdot hdot" degree by degree, and a
// closing line of 9s (more lines of 9s and blank lines may follow; any other
// text after it is refused). The epoch lies within 1900 to 2100. The model is
// then valid from its epoch for 5 years, on WGS 84 with reference radius
// 6371.2 km, in double precision. On failure model is left as it was and
// error reads like "line 7: expected n m g h gdot hdot" (the caller adds the
// file's name).
[[nodiscard]] bool ReadCoefficientFile(std::string_view text, FieldModel& model, std::string& error);

// Reads a model in the SHC layout (the International Geomagnetic Reference
// Field's): comment lines starting with '#', a header "nmin nmax epochs
// spline-order steps start end", the epochs, and one line per coefficient "n m"
// with its value at each epoch, g(n,m) before h(n,m). Degrees 1 to 13, epochs
// increasing within 1900 to 2100, linear change between them (spline order 2).
// The model is valid from the first epoch to the last, on WGS 84 with reference
// radius 6371.2 km, in double precision. On failure model is left as it was and
// error reads like "line 7: expected g(2,1): n m and 27 numbers".
[[nodiscard]] bool ReadShcFile(std::string_view text, FieldModel& model, std::string& error);

// The piece of a model given at several epochs that serves a year: the one
// whose interval holds it (the last epoch belongs to the last interval), the
// nearest one outside the model's years; a model of one epoch itself.
const FieldModel& PieceFor(const FieldModel& m, double year);

}  // namespace model

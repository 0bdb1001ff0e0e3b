// Field models as data: the built-in 1995.0 reference field, WMM2025, and
// models read from coefficient files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
    double epoch = 0.0;      // decimal year of the coefficients
    double firstYear = 0.0;  // years of validity, both included
    double lastYear = 0.0;
    int mainDegree = 0;  // degrees summed: main field and secular variation (at most 12)
    int secularDegree = 0;
    double referenceRadiusKm = 0.0;  // radius of the harmonic series
    double semiMajorAxisKm = 0.0;    // ellipsoid of the geodetic positions
    double inverseFlattening = 0.0;
    // True: evaluated with single-precision storage of every intermediate, as
    // the 1995 field always was; false: double precision throughout.
    bool singlePrecision = false;
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

// The built-in model of a key: "igrf1995" or "wmm2025"; nullptr for any other.
const FieldModel* FindBuiltInModel(std::string_view key);

// True when year lies within the model's years, both ends included.
bool CoversYear(const FieldModel& m, double year);

// Reads a model in the standard coefficient-file layout: a header line (epoch,
// model name, release date), lines "n m g h gdot hdot" degree by degree, and a
// closing line of 9s. The model is then valid from its epoch for 5 years, on
// WGS 84 with reference radius 6371.2 km, in double precision. On failure
// model is left as it was and error reads like "line 7: expected n m g h gdot
// hdot" (the caller adds the file's name).
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

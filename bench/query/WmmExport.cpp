// Writes the built-in 1995.0 coefficient table as a model for another
// program's magnetic field tool, so that both answer from the same numbers:
// NAME.wmm (keyword lines) and NAME.wmm.cof (little-endian binary: an 8-byte
// id, then per coefficient set the degree N and order M as 4-byte integers,
// the cosine terms C(n,m) column by column from m = 0 and the sine terms
// S(n,m) from m = 1, as doubles). Two sets: the field at the epoch in nT and
// its rate of change in nT per year.
//   dexlin-wmm-export DIR   -> DIR/dexlin1995.wmm, DIR/dexlin1995.wmm.cof
#include "model/FieldModel.h"

#include <bit>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char kId[] = "DEXLN95A";  // 8 printable bytes, the .cof file's first

template <typename T>
void PutLittleEndian(std::ofstream& out, T value) {
    static_assert(std::endian::native == std::endian::little, "written as the machine stores it");
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

// One set: g or gdot as C, h or hdot as S.
void WriteSet(std::ofstream& out, bool rates) {
    const model::FieldModel& field = model::ReferenceField1995();
    const int degree = field.mainDegree;
    std::vector<double> c((degree + 1) * (degree + 1), 0.0);
    std::vector<double> s((degree + 1) * (degree + 1), 0.0);
    for (const model::CoefficientRecord& r : field.coefficients) {
        const auto n = static_cast<int>(r.n);
        const auto m = static_cast<int>(r.m);
        c[n * (degree + 1) + m] = rates ? r.gdot : r.g;
        s[n * (degree + 1) + m] = rates ? r.hdot : r.h;
    }
    PutLittleEndian<std::int32_t>(out, degree);
    PutLittleEndian<std::int32_t>(out, degree);
    for (int m = 0; m <= degree; ++m)
        for (int n = m; n <= degree; ++n) PutLittleEndian(out, c[n * (degree + 1) + m]);
    for (int m = 1; m <= degree; ++m)
        for (int n = m; n <= degree; ++n) PutLittleEndian(out, s[n * (degree + 1) + m]);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dexlin-wmm-export DIR\n");
        return 2;
    }
    const std::string stem = std::string(argv[1]) + "/dexlin1995.wmm";
    std::ofstream wmm(stem);
    wmm << "WMMF-2\n"
           "# Dexlin's built-in field model, written by dexlin-wmm-export.\n"
           "Name            dexlin1995\n"
           "Description     Dexlin 1995.0 reference field\n"
           "Radius          6371200\n"
           "NumModels       1\n"
           "Epoch           1995\n"
           "MinTime         1995\n"
           "MaxTime         2000\n"
           "MinHeight       -1000\n"
           "MaxHeight       600000\n"
           "ID              "
        << kId << "\n";
    std::ofstream cof(stem + ".cof", std::ios::binary);
    cof.write(kId, 8);
    WriteSet(cof, false);
    WriteSet(cof, true);
    if (!wmm.flush() || !cof.flush()) {
        std::fprintf(stderr, "dexlin-wmm-export: cannot write %s\n", stem.c_str());
        return 1;
    }
    return 0;
}

// Field models as data: WMM2025 against its official test values, the 1995
// field's description, and the coefficient-file reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include "Engine.h"
#include "FieldModel.h"
#include "MagneticModel.h"

namespace model {
namespace {

// Year, height km, latitude, longitude, X, Y, Z, H, F nT, I, D degrees.
const char* const kWmm2025TestValues[][11] = {
#include "Wmm2025TestValues.inc"
};

double Number(const char* text) { return std::strtod(text, nullptr); }

// Half a unit in the last printed place of a value.
double HalfUnit(const char* text) {
    const char* point = std::strchr(text, '.');
    const int decimals = point == nullptr ? 0 : static_cast<int>(std::strlen(point + 1));
    return 0.5 * std::pow(10.0, -decimals);
}

// An angle from whole degrees and minutes (the minutes carry the sign when the
// degrees are 0).
double Degrees(std::int32_t degrees, double minutes) {
    return degrees < 0 ? degrees - minutes / 60.0 : degrees + minutes / 60.0;
}

TEST(Wmm2025, EveryOfficialTestValue) {
    // The intensities to 0.001 nT: the printed X (and H, F from it) differ from
    // a 40-digit evaluation of the same coefficients by up to 7e-4 nT, beyond
    // their sixth decimal; Y and Z agree to 3e-6 nT. Angles to the printed
    // hundredth of a degree.
    constexpr double kIntensityTolerance = 0.001;
    int rows = 0;
    for (const auto& row : kWmm2025TestValues) {
        const double year = Number(row[0]);
        MagneticElements e{};
        ASSERT_EQ(ComputeMagneticElements(Wmm2025(), Number(row[2]), Number(row[3]), Number(row[1]), year, e),
                  kStatusOk);
        const std::string where = std::string(row[0]) + ' ' + row[1] + " km " + row[2] + ' ' + row[3];
        EXPECT_NEAR(e.northComponent, Number(row[4]), kIntensityTolerance) << where;
        EXPECT_NEAR(e.eastComponent, Number(row[5]), kIntensityTolerance) << where;
        EXPECT_NEAR(e.verticalComponent, Number(row[6]), kIntensityTolerance) << where;
        EXPECT_NEAR(e.horizontalIntensity, Number(row[7]), kIntensityTolerance) << where;
        EXPECT_NEAR(e.totalIntensity, Number(row[8]), kIntensityTolerance) << where;
        EXPECT_NEAR(Degrees(e.inclinationDegrees, e.inclinationMinutes), Number(row[9]), HalfUnit(row[9]) + 1e-9)
            << where;
        EXPECT_NEAR(Degrees(e.declinationDegrees, e.declinationMinutes), Number(row[10]), HalfUnit(row[10]) + 1e-9)
            << where;
        EXPECT_TRUE(CoversYear(Wmm2025(), year)) << where;
        ++rows;
    }
    EXPECT_EQ(rows, 100);
}

TEST(FieldModels, BuiltInModelsAndTheirYears) {
    EXPECT_EQ(FindBuiltInModel("igrf1995"), &ReferenceField1995());
    EXPECT_EQ(FindBuiltInModel("wmm2025"), &Wmm2025());
    EXPECT_EQ(FindBuiltInModel("WMM2025"), &Wmm2025());  // in any case
    EXPECT_EQ(FindBuiltInModel("Igrf14"), &Igrf14());
    for (const char* key : {"", "wmm2025 ", "igrf", "wmm2020", "autos"}) {
        EXPECT_EQ(FindBuiltInModel(key), nullptr) << key;
    }
    // Built-in models and their pieces are used as they are; copies are not.
    EXPECT_TRUE(IsBuiltInModel(Igrf14()) && IsBuiltInModel(Igrf14().pieces.back()));
    EXPECT_TRUE(IsBuiltInModel(ModelForTheDate().pieces.front()));
    FieldModel assigned;
    assigned = Wmm2025();
    EXPECT_FALSE(IsBuiltInModel(FieldModel(Igrf14().pieces.back())) || IsBuiltInModel(assigned));
    // Each row of the list finds its model and back; a copy is no built-in.
    for (const BuiltInModel& row : BuiltInModels()) {
        EXPECT_EQ(FindBuiltInModel(row.key), &row.model()) << row.key;
        EXPECT_EQ(BuiltInKey(row.model()), row.key);
    }
    EXPECT_EQ(BuiltInKey(FieldModel(Wmm2025())), "");
    constexpr YearEnds kIn = YearEnds::Included;
    constexpr YearEnds kOut = YearEnds::Excluded;  // the window's variation gate
    struct Case {
        const FieldModel* model;
        double year;
        YearEnds ends;
        bool covered;
    };
    const Case cases[] = {
        {&Wmm2025(), 2025.0, kIn, true},
        {&Wmm2025(), 2030.0, kIn, true},
        {&Wmm2025(), std::nextafter(2025.0, 0.0), kIn, false},
        {&Wmm2025(), std::nextafter(2030.0, 3000.0), kIn, false},
        {&ReferenceField1995(), 1995.0, kIn, true},
        {&ReferenceField1995(), 2000.0, kIn, true},
        {&ReferenceField1995(), 2000.001, kIn, false},
        {&Wmm2025(), std::nan(""), kIn, false},
        {&ReferenceField1995(), 1995.0, kOut, false},
        {&ReferenceField1995(), std::nextafter(1995.0, 3000.0), kOut, true},
        {&ReferenceField1995(), std::nextafter(2000.0, 0.0), kOut, true},
        {&ReferenceField1995(), 2000.0, kOut, false},
        {&Wmm2025(), std::nan(""), kOut, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CoversYear(*c.model, c.year, c.ends), c.covered) << c.model->name << ' ' << c.year;
    }
    // Heights from -1 to 850 km, both included.
    for (const auto& [height, covered] :
         {std::pair{-1.0, true}, std::pair{850.0, true}, std::pair{std::nextafter(-1.0, -2.0), false},
          std::pair{std::nextafter(850.0, 900.0), false}, std::pair{std::nan(""), false}}) {
        EXPECT_EQ(CoversHeight(Wmm2025(), height), covered) << height;
    }
    // The 1995 field's frame in single precision: the constants it always had.
    const SpheroidOf<float> frame = SpheroidOfModel<float>(ReferenceField1995());
    EXPECT_EQ(frame.equatorialRadiusSquared, 40680924.0f);
    EXPECT_EQ(frame.polarRadiusSquared, 40408588.0f);
    EXPECT_EQ(frame.radiusSquaredDifference, 272336.0f);
    EXPECT_EQ(frame.referenceRadius, 6371.2f);
}

TEST(FieldModels, TheOneEngineGivesThe1995FieldBitForBit) {
    for (const double year : {1995.0, 1997.3, 1999.99}) {
        MagneticElements plain{};
        MagneticElements described{};
        ASSERT_EQ(ComputeMagneticElements(51.5, -0.1, year, plain), kStatusOk);
        ASSERT_EQ(ComputeMagneticElements(ReferenceField1995(), 51.5, -0.1, 0.0, year, described), kStatusOk);
        EXPECT_EQ(std::memcmp(&plain.declinationMinutes, &described.declinationMinutes, sizeof(double)), 0);
        EXPECT_EQ(plain.totalIntensity, described.totalIntensity);
        EXPECT_EQ(plain.declinationChange, described.declinationChange);
    }
    // The same model as data through the general loader (a copy is not the
    // built-in) gives the same record.
    FieldModel copy = ReferenceField1995();
    MagneticElements fromCopy{};
    MagneticElements builtIn{};
    ASSERT_EQ(ComputeMagneticElements(copy, -33.9, 151.2, 0.0, 1997.0, fromCopy), kStatusOk);
    ASSERT_EQ(ComputeMagneticElements(-33.9, 151.2, 1997.0, builtIn), kStatusOk);
    EXPECT_EQ(fromCopy.declinationMinutes, builtIn.declinationMinutes);
    EXPECT_EQ(fromCopy.verticalChange, builtIn.verticalChange);
    // A table that does not hold its degrees gives no record.
    copy.coefficients.resize(20);
    MagneticElements untouched{};
    untouched.totalIntensity = -1.0;
    EXPECT_EQ(ComputeMagneticElements(copy, -33.9, 151.2, 0.0, 1997.0, untouched), kStatusLoadFailed);
    EXPECT_EQ(untouched.totalIntensity, -1.0);
    // The built-in field's table is kept between queries, a model read from a
    // file is loaded each time: changed in place, it answers with its new table.
    MagneticElements again{};
    ASSERT_EQ(ComputeMagneticElements(-33.9, 151.2, 1997.0, again), kStatusOk);
    EXPECT_EQ(again.verticalChange, builtIn.verticalChange);
    FieldModel file = Wmm2025();
    MagneticElements before{};
    MagneticElements after{};
    ASSERT_EQ(ComputeMagneticElements(file, 10.0, 20.0, 0.0, 2026.0, before), kStatusOk);
    file.coefficients[0].g *= 2.0;
    ASSERT_EQ(ComputeMagneticElements(file, 10.0, 20.0, 0.0, 2026.0, after), kStatusOk);
    EXPECT_GT(std::fabs(after.northComponent - before.northComponent), 20000.0);
}

TEST(FieldModels, HeightAndBadInputsOfTheDoubleModel) {
    MagneticElements ground{};
    MagneticElements high{};
    ASSERT_EQ(ComputeMagneticElements(Wmm2025(), 51.5, -0.1, 0.0, 2026.94, ground), kStatusOk);
    ASSERT_EQ(ComputeMagneticElements(Wmm2025(), 51.5, -0.1, 400.0, 2026.94, high), kStatusOk);
    // The field weakens with height roughly as (r / (r + h))^3.
    EXPECT_NEAR(high.totalIntensity / ground.totalIntensity, std::pow(6371.2 / 6771.2, 3.0), 0.02);
    // London at the end of 2026: a degree and a quarter east.
    EXPECT_EQ(ground.declinationDegrees, 1);
    EXPECT_NEAR(ground.declinationMinutes, 14.8, 0.05);
    for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        MagneticElements e{};
        EXPECT_EQ(ComputeMagneticElements(Wmm2025(), 0.0, 0.0, bad, 2026.0, e), kStatusNotFinite);
        EXPECT_EQ(ComputeMagneticElements(Wmm2025(), bad, 0.0, 0.0, 2026.0, e), kStatusNotFinite);
        EXPECT_EQ(ComputeMagneticElements(Wmm2025(), 0.0, 0.0, 0.0, bad, e), kStatusNotFinite);
    }
    // Beyond single precision a double model still answers.
    MagneticElements far{};
    EXPECT_EQ(ComputeMagneticElements(Wmm2025(), 10.0, 1.0e39, 0.0, 2026.0, far), kStatusOk);
    // No horizontal field, no direction: a model of zeros, or a point so far
    // out that the field vanishes, gives no record (never a marker as an angle).
    FieldModel zeros = Wmm2025();
    for (CoefficientRecord& r : zeros.coefficients) {
        r.g = r.h = r.gdot = r.hdot = 0.0;
    }
    struct Undetermined {
        const FieldModel* model;
        double heightKm;
    };
    for (const Undetermined& c : {Undetermined{&zeros, 0.0}, Undetermined{&Wmm2025(), 1e20}}) {
        MagneticElements untouched{};
        untouched.totalIntensity = -1.0;
        EXPECT_EQ(ComputeMagneticElements(*c.model, 10.0, 10.0, c.heightKm, 2026.0, untouched), kStatusUndetermined)
            << c.heightKm;
        EXPECT_EQ(untouched.totalIntensity, -1.0);
    }
    // Far out but still with a direction: a declination within a half turn.
    ASSERT_EQ(ComputeMagneticElements(Wmm2025(), 10.0, 10.0, 1e6, 2026.0, far), kStatusOk);
    EXPECT_LE(std::fabs(SignedDeclination(far)), 180.0);
}

// A coefficient file written from a model's table, as the standard layout has it.
std::string WriteCoefficientFile(const FieldModel& m) {
    std::string text = "    2025.0            WMM-2025     11/13/2024\n";
    char line[128];
    for (const CoefficientRecord& r : m.coefficients) {
        std::snprintf(line, sizeof line, "%3d%3d%11.1f%10.1f%10.1f%10.1f\n", static_cast<int>(r.n),
                      static_cast<int>(r.m), r.g, r.h, r.gdot, r.hdot);
        text += line;
    }
    return text +
           "999999999999999999999999999999999999999999999999\n"
           "999999999999999999999999999999999999999999999999\n";
}

TEST(CoefficientFile, WrittenFromTheBuiltInTableReadsBackToTheSameAnswers) {
    FieldModel read;
    std::string error;
    ASSERT_TRUE(ReadCoefficientFile(WriteCoefficientFile(Wmm2025()), read, error)) << error;
    EXPECT_EQ(read.name, "WMM-2025");
    // Five years from the epoch, the degrees of the table, double precision.
    EXPECT_EQ(std::tuple(read.epoch, read.firstYear, read.lastYear, read.mainDegree, read.secularDegree),
              std::tuple(2025.0, 2025.0, 2030.0, 12, 12));
    EXPECT_FALSE(read.singlePrecision);
    for (const auto& row : kWmm2025TestValues) {
        MagneticElements fromFile{};
        MagneticElements builtIn{};
        const double v[] = {Number(row[0]), Number(row[1]), Number(row[2]), Number(row[3])};
        ASSERT_EQ(ComputeMagneticElements(read, v[2], v[3], v[1], v[0], fromFile), kStatusOk);
        ASSERT_EQ(ComputeMagneticElements(Wmm2025(), v[2], v[3], v[1], v[0], builtIn), kStatusOk);
        EXPECT_EQ(fromFile.northComponent, builtIn.northComponent);
        EXPECT_EQ(fromFile.declinationMinutes, builtIn.declinationMinutes);
        EXPECT_EQ(fromFile.totalChange, builtIn.totalChange);
    }
    // Carriage returns, and a model of lower degree.
    std::string text = WriteCoefficientFile(Wmm2025());
    const std::size_t degree3 = text.find("\n  4  0");
    std::string crlf;
    for (const char c : text.substr(0, degree3 + 1) + "9999\n") {
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    }
    ASSERT_TRUE(ReadCoefficientFile(crlf, read, error)) << error;
    EXPECT_EQ(read.mainDegree, 3);
    EXPECT_EQ(read.coefficients.size(), 9u);
}

// Lines of small coefficients for the degrees from first to last.
std::string DegreeLines(int first, int last) {
    std::string lines;
    for (int n = first; n <= last; ++n) {
        for (int m = 0; m <= n; ++m) {
            lines += std::to_string(n) + ' ' + std::to_string(m) + " 0.1 0.0 0.0 0.0\n";
        }
    }
    return lines;
}

// Both readers refuse what is no whole model, naming the line, and leave the
// model as it was. Each row changes a good file: WMM2025 written in the
// standard layout, or the IGRF-14 file (its lines ended by "\n" alone).
TEST(CoefficientFile, BadFilesOfBothLayoutsAreRefusedWithTheirLine) {
    const std::string good = WriteCoefficientFile(Wmm2025());
    std::string shc;
    for (const char c : BuiltInFileText("IGRF14.SHC")) {
        if (c != '\r') shc += c;
    }
    shc += '\n';
    const std::string head = shc.substr(0, shc.find("1 13 27"));  // the comment lines
    const std::size_t firstRow = shc.find("\n1 0 ") + 1;
    const std::string firstRowLine = shc.substr(firstRow, shc.find('\n', firstRow) - firstRow + 1);
    const std::string lastRow = shc.substr(shc.rfind("13 13"));
    const auto replaceLine = [&](int number, const std::string& with) {
        std::size_t start = 0;
        for (int i = 1; i < number; ++i) {
            start = good.find('\n', start) + 1;
        }
        return good.substr(0, start) + with + good.substr(good.find('\n', start));
    };
    const auto cutAfterLine = [&](int number) {
        std::size_t end = 0;
        for (int i = 0; i < number; ++i) {
            end = good.find('\n', end) + 1;
        }
        return good.substr(0, end);
    };
    using Reader = bool (*)(std::string_view, FieldModel&, std::string&);
    struct Case {
        const char* what;
        std::string text;
        const char* error;
        Reader read = ReadCoefficientFile;
    };
    constexpr Reader kShc = ReadShcFile;
    const Case cases[] = {
        {"empty", "", "line 1: expected the header: epoch, model name, release date"},
        {"header without a name", replaceLine(1, "2025.0"), "line 1: expected the header"},
        {"header epoch not a number", replaceLine(1, "2025,0 WMM-2025 11/13/2024"), "line 1: expected the header"},
        {"header of four words", replaceLine(1, "2025.0 WMM-2025 11/13/2024 11/14/2024"),
         "line 1: expected the header"},
        {"truncated in a degree", cutAfterLine(7), "line 8: the file ends before its closing line of 9s"},
        {"truncated before the 9s", cutAfterLine(91), "line 92: the file ends before its closing line of 9s"},
        {"9s in a degree", cutAfterLine(7) + "9999\n", "line 8: degree 3 ends before order 1"},
        {"no coefficients", cutAfterLine(1) + "9999\n", "line 2: no coefficients before the closing line of 9s"},
        {"misordered", replaceLine(4, "  2  1  2951.1  -3133.6  -5.2  -27.7"),
         "line 4: expected degree 2 order 0, found degree 2 order 1"},
        {"order skipped", replaceLine(5, "  2  2  1649.3  -815.1  -1.0  -19.6"),
         "line 5: expected degree 2 order 1, found degree 2 order 2"},
        {"non-numeric", replaceLine(4, "  2  1  2951.1  -3133.6  x  -27.7"), "line 4: expected n m g h gdot hdot"},
        {"decimal comma", replaceLine(4, "  2  1  2951,1  -3133.6  -5.2  -27.7"), "line 4: expected n m g h gdot hdot"},
        {"degree not whole", replaceLine(4, "  2.0  1  2951.1  -3133.6  -5.2  -27.7"),
         "line 4: expected n m g h gdot hdot"},
        {"five fields", replaceLine(4, "  2  1  2951.1  -3133.6  -5.2"), "line 4: expected n m g h gdot hdot"},
        {"seven fields", replaceLine(4, "  2  1  2951.1  -3133.6  -5.2 -27.7 0"), "line 4: expected n m g h gdot hdot"},
        {"infinite", replaceLine(4, "  2  1  1e999  -3133.6  -5.2  -27.7"), "line 4: expected n m g h gdot hdot"},
        {"blank line", replaceLine(4, ""), "line 4: expected n m g h gdot hdot"},
        {"over degree", cutAfterLine(91) + DegreeLines(13, 14) + "9999\n",
         "line 106: degree 14 is above 13, the highest the model sums"},
        {"epoch before 1900", replaceLine(1, "1899.99 WMM-2025 11/13/2024"),
         "line 1: the epoch is outside 1900 to 2100"},
        {"epoch after 2100", replaceLine(1, "2100.01 WMM-2025 11/13/2024"),
         "line 1: the epoch is outside 1900 to 2100"},
        {"epoch beyond any year", replaceLine(1, "-1e308 WMM-2025 11/13/2024"), "line 1: the epoch is outside"},
        {"a request after the 9s", good + "course 1 2 3 4\n", "line 94: text after the closing line of 9s"},
        {"two files joined", good + good, "line 94: text after the closing line of 9s"},
        {"text after the first line of 9s", cutAfterLine(92) + "x\n", "line 93: text after the closing line"},
        {"SHC empty", "", "line 1: expected the header: nmin nmax", kShc},
        {"SHC only comments", "# a\n# b\n", "line 3: expected the header", kShc},
        {"SHC header of six words", head + "1 13 27 2 1 1900.0\n", "line 3: expected the header", kShc},
        {"SHC lowest degree 0", head + "0 13 27 2 1 1900.0 2030.0\n", "line 3: the lowest degree must be 1, found 0",
         kShc},
        {"SHC degree 14 is more than the model sums", head + "1 14 27 2 1 1900.0 2030.0\n",
         "line 3: the highest degree must be 1 to 13 (the highest the model sums), found 14", kShc},
        {"SHC one epoch", head + "1 13 1 2 1 1900.0 1900.0\n", "line 3: expected 2 to 100 epochs, found 1", kShc},
        {"SHC cubic change", head + "1 13 27 4 1 1900.0 2030.0\n",
         "line 3: only linear change between epochs (spline order 2) is read, found order 4", kShc},
        {"SHC a missing epoch", shc.substr(0, shc.find("2030.0\n", head.size() + 20)) + "\n",
         "line 4: expected 27 epochs, found 26 words", kShc},
        {"SHC a repeated (n, m)", shc.substr(0, firstRow) + firstRowLine + shc.substr(firstRow),
         "line 6: expected g(1,1): n m and 27 numbers", kShc},
        {"SHC not a number", shc.substr(0, firstRow) + "1 0 x" + shc.substr(firstRow + 5), "line 5: expected g(1,0)",
         kShc},
        {"SHC infinite", shc.substr(0, firstRow) + "1 0 inf" + shc.substr(firstRow + 5), "line 5: expected g(1,0)",
         kShc},
        {"SHC ends early", shc.substr(0, shc.size() - lastRow.size()),
         "line 199: the file ends early: expected h(13,13)", kShc},
        {"SHC text after the table", shc + "\ncourse 1 2 3 4\n", "line 201: text after the last coefficient", kShc},
        {"SHC a line too long", shc.substr(0, firstRow) + std::string(5000, ' ') + shc.substr(firstRow),
         "line 5: longer than 4096 bytes", kShc},
    };
    for (const Case& c : cases) {
        FieldModel model = Wmm2025();
        std::string error;
        EXPECT_FALSE(c.read(c.text, model, error)) << c.what;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.what << ": " << error;
        EXPECT_EQ(model.name, "WMM2025") << c.what;  // untouched
        EXPECT_EQ(model.coefficients.size(), 90u) << c.what;
    }
    // The exact limits: degree 12 complete and closed reads, and so does 13; so
    // do the first and last epochs, and blank lines and more 9s after the
    // closing line. The SHC layout's blank lines after the table and negative
    // orders for h are its own (the published file has Windows line ends).
    const std::size_t h11 = shc.find("\n1 1 5922") + 1;
    const std::pair<Reader, std::string> readable[] = {
        {ReadCoefficientFile, cutAfterLine(91) + "9999\n"},
        {ReadCoefficientFile, cutAfterLine(91) + DegreeLines(13, 13) + "9999\n"},
        {ReadCoefficientFile, replaceLine(1, "1900 IGRF 1/1/1900")},
        {ReadCoefficientFile, replaceLine(1, "2100.0 WMM-2100")},
        {ReadCoefficientFile, good + "\n \t\n99999\n\n"},
        {ReadShcFile, shc + "\n  \n"},
        {ReadShcFile, shc.substr(0, h11) + "1 -1" + shc.substr(h11 + 3)},
    };
    for (const auto& [read, text] : readable) {
        FieldModel model;
        std::string error;
        EXPECT_TRUE(read(text, model, error)) << error;
    }
}

// The loader takes a built-in key or a regular file of at most 1 MiB, and says
// why it refuses anything else without opening it (a FIFO never blocks it).
TEST(ModelFile, BuiltInKeysAndRegularFilesOnly) {
    FieldModel loaded;
    std::string error;
    EXPECT_EQ(LoadFieldModel("wmm2025", loaded, error), &Wmm2025());

    const std::string dir = testing::TempDir() + "dexlin_model_file_" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string good = std::string(BuiltInFileText("WMM2025.COF"));
    const std::string atLimit = good + std::string(kMaxModelFileBytes - good.size(), '\n');
    std::ofstream(dir + "/good.cof", std::ios::binary) << good;
    std::ofstream(dir + "/at-limit.cof", std::ios::binary) << atLimit;
    std::ofstream(dir + "/past-limit.cof", std::ios::binary) << atLimit << '\n';
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink((dir + "/none").c_str(), (dir + "/dangling").c_str()), 0);
    struct Case {
        std::string path;
        std::string error;  // empty: loaded
    };
    const Case cases[] = {
        {dir + "/good.cof", ""},
        {dir + "/at-limit.cof", ""},
        {dir + "/past-limit.cof", ": larger than 1 MiB, not a coefficient file"},
        {dir + "/none", ": No such file or directory (nor a built-in model: auto, wmm2025, igrf14, igrf1995)"},
        {dir + "/dangling", ": No such file or directory (nor a built-in model: auto, wmm2025, igrf14, igrf1995)"},
        {dir, ": is a directory"},
        {dir + "/fifo", ": is not a regular file (a FIFO, a device or a socket)"},
        {"/dev/zero", ": is not a regular file (a FIFO, a device or a socket)"},
    };
    for (const Case& c : cases) {
        error.clear();
        const FieldModel* model = LoadFieldModel(c.path, loaded, error);
        EXPECT_EQ(model, c.error.empty() ? &loaded : nullptr) << c.path;
        EXPECT_EQ(error, c.error.empty() ? "" : c.path + c.error);
    }
    EXPECT_EQ(loaded.name, "WMM-2025");  // the committed file, read as a user's file is
    // A file in the SHC layout is read as such: IGRF-14 as the built-in one is.
    std::ofstream(dir + "/igrf14.shc", std::ios::binary) << BuiltInFileText("IGRF14.SHC");
    ASSERT_EQ(LoadFieldModel(dir + "/igrf14.shc", loaded, error), &loaded) << error;
    EXPECT_EQ(loaded.pieces.size(), Igrf14().pieces.size());
    EXPECT_EQ(loaded.pieces.back().coefficients.back().hdot, Igrf14().pieces.back().coefficients.back().hdot);
    for (const char* name : {"/igrf14.shc", "/good.cof", "/at-limit.cof", "/past-limit.cof", "/fifo", "/dangling"}) {
        std::remove((dir + name).c_str());
    }
    rmdir(dir.c_str());
}

}  // namespace
}  // namespace model

// Field models as data: WMM2025 against its official test values, the 1995
// field's description, and the coefficient-file reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "FieldModel.h"
#include "FieldSynthesis.h"
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
    for (const char* key : {"", "WMM2025", "wmm2025 ", "igrf", "wmm2020"}) {
        EXPECT_EQ(FindBuiltInModel(key), nullptr) << key;
    }
    struct Case {
        const FieldModel* model;
        double year;
        bool covered;
    };
    const Case cases[] = {
        {&Wmm2025(), 2025.0, true},
        {&Wmm2025(), 2030.0, true},
        {&Wmm2025(), std::nextafter(2025.0, 0.0), false},
        {&Wmm2025(), std::nextafter(2030.0, 3000.0), false},
        {&ReferenceField1995(), 1995.0, true},
        {&ReferenceField1995(), 2000.0, true},
        {&ReferenceField1995(), 2000.001, false},
        {&Wmm2025(), std::nan(""), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CoversYear(*c.model, c.year), c.covered) << c.model->name << ' ' << c.year;
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
    EXPECT_EQ(read.epoch, 2025.0);
    EXPECT_EQ(read.firstYear, 2025.0);
    EXPECT_EQ(read.lastYear, 2030.0);
    EXPECT_EQ(read.mainDegree, 12);
    EXPECT_EQ(read.secularDegree, 12);
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
    text = text.substr(0, degree3 + 1) + "9999\n";
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2) {
        text.insert(at, "\r");
    }
    ASSERT_TRUE(ReadCoefficientFile(text, read, error)) << error;
    EXPECT_EQ(read.mainDegree, 3);
    EXPECT_EQ(read.coefficients.size(), 9u);
}

TEST(CoefficientFile, BadFilesAreRefusedWithTheirLine) {
    const std::string good = WriteCoefficientFile(Wmm2025());
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
    struct Case {
        const char* what;
        std::string text;
        const char* error;
    };
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
        {"over degree", cutAfterLine(91) + " 13  0  0.1  0.0  0.0  0.0\n9999\n",
         "line 92: degree 13 is above 12, the highest the model sums"},
    };
    for (const Case& c : cases) {
        FieldModel model = Wmm2025();
        std::string error;
        EXPECT_FALSE(ReadCoefficientFile(c.text, model, error)) << c.what;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.what << ": " << error;
        EXPECT_EQ(model.name, "WMM2025") << c.what;  // untouched
        EXPECT_EQ(model.coefficients.size(), 90u) << c.what;
    }
    // The exact limits: degree 12 complete and closed reads.
    FieldModel model;
    std::string error;
    EXPECT_TRUE(ReadCoefficientFile(cutAfterLine(91) + "9999\n", model, error)) << error;
}

}  // namespace
}  // namespace model

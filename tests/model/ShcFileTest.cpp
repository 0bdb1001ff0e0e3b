// The SHC reader: the IGRF-14 file as published, its pieces between epochs,
// and files that are not whole models.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "FieldModel.h"
#include "MagneticModel.h"

namespace model {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::string& Igrf14Text() {
    static const std::string text = ReadFile(DEXLIN_SOURCE_DIR "/model/data/IGRF14.SHC");
    return text;
}

TEST(ShcFile, ReadsIgrf14AsOnePiecePerInterval) {
    FieldModel igrf;
    std::string error;
    ASSERT_TRUE(ReadShcFile(Igrf14Text(), igrf, error)) << error;
    EXPECT_EQ(igrf.firstYear, 1900.0);
    EXPECT_EQ(igrf.lastYear, 2030.0);
    ASSERT_EQ(igrf.pieces.size(), 26U);
    // Degree 10 up to 1995, 13 once the interval reaches 2000.
    EXPECT_EQ(igrf.pieces[18].mainDegree, 10);
    EXPECT_EQ(igrf.pieces[19].mainDegree, 13);
    EXPECT_EQ(igrf.pieces[19].coefficients.size(), 13U * 16U / 2U);
    // g(1,0) in 2025 and its change toward the 2030 column, nT and nT a year.
    const FieldModel& last = igrf.pieces.back();
    EXPECT_EQ(last.epoch, 2025.0);
    EXPECT_EQ(last.coefficients[0].g, -29350.0);
    EXPECT_DOUBLE_EQ(last.coefficients[0].gdot, (-29287.0 + 29350.0) / 5.0);
    // h(1,1) of 1900, written after g(1,1).
    EXPECT_EQ(igrf.pieces[0].coefficients[1].h, 5922.0);

    struct Case {
        double year;
        double epoch;
    };
    for (const Case& c : {Case{1900.0, 1900.0}, Case{std::nextafter(1905.0, 0.0), 1900.0}, Case{1905.0, 1905.0},
                          Case{2029.99, 2025.0}, Case{2030.0, 2025.0}, Case{1850.0, 1900.0}, Case{2100.0, 2025.0}}) {
        EXPECT_EQ(PieceFor(igrf, c.year).epoch, c.epoch) << c.year;
    }
    EXPECT_EQ(&PieceFor(Wmm2025(), 2027.0), &Wmm2025());
}

TEST(ShcFile, TheFieldChangesContinuouslyAcrossEveryEpoch) {
    FieldModel igrf;
    std::string error;
    ASSERT_TRUE(ReadShcFile(Igrf14Text(), igrf, error)) << error;
    for (double epoch = 1905.0; epoch < 2030.0; epoch += 5.0) {
        MagneticElements before{};
        MagneticElements at{};
        ASSERT_EQ(ComputeMagneticElements(igrf, -33.9, 151.2, 100.0, epoch - 1e-9, before), kStatusOk);
        ASSERT_EQ(ComputeMagneticElements(igrf, -33.9, 151.2, 100.0, epoch, at), kStatusOk);
        EXPECT_NEAR(before.northComponent, at.northComponent, 1e-4) << epoch;
        EXPECT_NEAR(before.verticalComponent, at.verticalComponent, 1e-4) << epoch;
    }
}

// Each row changes the real file (its lines ended by "\n" alone) and names the
// line and what the reader says.
TEST(ShcFile, RefusesWhatIsNoWholeModel) {
    std::string good;
    for (const char c : Igrf14Text()) {
        if (c != '\r') good += c;
    }
    good += '\n';
    const std::size_t header = good.find("1 13 27");
    const std::size_t firstRow = good.find("\n1 0 ") + 1;
    const std::string lastRow = good.substr(good.rfind("13 13"));
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"empty", "", "line 1: expected the header"},
        {"only comments", "# a\n# b\n", "line 3: expected the header"},
        {"header of six words", good.substr(0, header) + "1 13 27 2 1 1900.0\n", "line 3: expected the header"},
        {"lowest degree 0", good.substr(0, header) + "0 13 27 2 1 1900.0 2030.0\n", "the lowest degree must be 1"},
        {"degree 14 is more than the model sums", good.substr(0, header) + "1 14 27 2 1 1900.0 2030.0\n",
         "found 14"},
        {"one epoch", good.substr(0, header) + "1 13 1 2 1 1900.0 1900.0\n", "expected 2 to 100 epochs"},
        {"cubic change", good.substr(0, header) + "1 13 27 4 1 1900.0 2030.0\n", "spline order 2"},
        {"a missing epoch", good.substr(0, good.find("2030.0\n", header + 20)) + "\n",
         "line 4: expected 27 epochs, found 26 words"},
        {"a repeated (n, m)", good.substr(0, firstRow) + good.substr(firstRow, good.find('\n', firstRow) - firstRow + 1) +
                                  good.substr(firstRow),
         "line 6: expected g(1,1)"},
        {"not a number", good.substr(0, firstRow) + "1 0 x" + good.substr(firstRow + 5), "line 5: expected g(1,0)"},
        {"infinite", good.substr(0, firstRow) + "1 0 inf" + good.substr(firstRow + 5), "line 5: expected g(1,0)"},
        {"ends early", good.substr(0, good.size() - lastRow.size()), "the file ends early: expected h(13,13)"},
        {"text after the table", good + "\ncourse 1 2 3 4\n", "text after the last coefficient"},
        {"a line too long", good.substr(0, firstRow) + std::string(5000, ' ') + good.substr(firstRow),
         "line 5: longer than 4096 bytes"},
    };
    for (const Case& c : cases) {
        FieldModel model;
        model.name = "untouched";
        std::string error;
        EXPECT_FALSE(ReadShcFile(c.text, model, error)) << c.name;
        EXPECT_NE(error.find(c.error), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(model.name, "untouched") << c.name;
    }
    // Blank lines after the table and negative orders for h are the layout's
    // own (the published file, read above, has Windows line ends).
    FieldModel model;
    std::string error;
    EXPECT_TRUE(ReadShcFile(good + "\n  \n", model, error)) << error;
    const std::size_t h11 = good.find("\n1 1 5922") + 1;
    EXPECT_TRUE(ReadShcFile(good.substr(0, h11) + "1 -1" + good.substr(h11 + 3), model, error)) << error;
}

}  // namespace
}  // namespace model

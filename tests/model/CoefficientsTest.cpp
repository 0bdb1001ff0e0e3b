// Loading a model's table into the working arrays and extrapolating it to a date.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Engine.h"

namespace model {
namespace {

class Coefficients : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, true, kMainFieldDegree, state_.mainField));
        ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, false, kSecularVariationDegree, state_.secularVariation));
    }

    // Extrapolates to date and to date + 2 years.
    std::int32_t Extrapolate(float date, std::int32_t mainDegree, std::int32_t secularDegree) {
        return ExtrapolateBothSets(state_, date, date + 2.0f, kModelEpoch, mainDegree, secularDegree);
    }

    ModelStateOf<float> state_{};
};

TEST_F(Coefficients, LoadFillsTheWorkingOrder) {
    const CoefficientArrayOf<float>& main = state_.mainField;
    EXPECT_EQ(main[1], -29682.0f);
    EXPECT_EQ(main[2], -1789.0f);
    EXPECT_EQ(main[3], 5318.0f);
    EXPECT_EQ(main[4], -2197.0f);
    EXPECT_EQ(main[8], -425.0f);  // h(2,2)
    EXPECT_EQ(main[119], 0.0f);   // g(10,10)
    EXPECT_EQ(main[120], -6.0f);  // h(10,10)
    EXPECT_EQ(main[121], 0.0f);   // beyond degree 10: untouched
    const CoefficientArrayOf<float>& secular = state_.secularVariation;
    EXPECT_EQ(secular[1], 17.6f);
    EXPECT_EQ(static_cast<double>(secular[1]), 17.600000381469727);
    EXPECT_EQ(secular[3], -18.3f);
    EXPECT_EQ(secular[80], -0.6f);  // hdot(8,8)
    EXPECT_EQ(secular[81], 0.0f);
}

TEST_F(Coefficients, ExtrapolationIsLinearInTheDate) {
    EXPECT_EQ(Extrapolate(1995.0f, 10, 8), 10);
    for (int i = 1; i <= 120; ++i) {
        EXPECT_EQ(state_.dateCoefficients[i], state_.mainField[i]) << "entry " << i;
    }
    EXPECT_EQ(state_.nextYearCoefficients[1], static_cast<float>(-29682.0 + 2.0 * 17.6f));
    EXPECT_EQ(state_.nextYearCoefficients[1], -29646.8f);
    for (int i = 81; i <= 120; ++i) {
        EXPECT_EQ(state_.nextYearCoefficients[i], state_.mainField[i]) << "entry " << i;
    }

    // Before the epoch the factor is negative.
    Extrapolate(1990.0f, 10, 8);
    EXPECT_EQ(state_.dateCoefficients[1], static_cast<float>(-29682.0 - 5.0 * 17.6f));
    EXPECT_EQ(state_.dateCoefficients[2], static_cast<float>(-1789.0 - 5.0 * 13.0));
}

TEST_F(Coefficients, DegreeCasesOfTheExtrapolation) {
    // Equal degrees: 1 .. M(M+2) formed, nothing above; an odd count of
    // entries ends with one alone.
    state_.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1996.0f, 8, 8), 8);
    EXPECT_EQ(state_.dateCoefficients[80], static_cast<float>(-0.6f + static_cast<double>(-10.0f)));
    EXPECT_EQ(state_.dateCoefficients[81], 7.0f);
    state_.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1997.0f, 1, 1), 1);
    EXPECT_EQ(state_.dateCoefficients[3], static_cast<float>(2.0 * -18.3f + 5318.0));
    EXPECT_EQ(state_.dateCoefficients[4], 7.0f);

    // Secular degree higher: entries above the main degree grow from 0.
    state_.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1997.0f, 2, 3), 3);
    EXPECT_EQ(state_.dateCoefficients[8], static_cast<float>(2.0 * -8.8f + -425.0));
    EXPECT_EQ(state_.dateCoefficients[9], static_cast<float>(2.0 * 1.5f));
    EXPECT_EQ(state_.dateCoefficients[15], static_cast<float>(2.0 * -12.1f));
    EXPECT_EQ(state_.dateCoefficients[16], 7.0f);

    // Secular degree lower: entries above it keep the main field.
    state_.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1997.0f, 3, 1), 3);
    EXPECT_EQ(state_.dateCoefficients[3], static_cast<float>(2.0 * -18.3f + 5318.0));
    EXPECT_EQ(state_.dateCoefficients[4], -2197.0f);
    EXPECT_EQ(state_.dateCoefficients[15], -406.0f);
    EXPECT_EQ(state_.dateCoefficients[16], 7.0f);
}

TEST_F(Coefficients, DegreesBeyondTheArraysAreCut) {
    // Degree 13 fills the arrays to their last entry, 13 * 15 = 195; 14 is cut to 13.
    EXPECT_EQ(Extrapolate(1997.0f, 10, 20), 20);
    EXPECT_EQ(state_.dateCoefficients[195], 0.0f);  // nothing loaded there: 2 * 0
    for (const int degree : {13, 14}) {
        std::vector<CoefficientRecord> table;
        for (int n = 1; n <= degree; ++n) {
            for (int m = 0; m <= n; ++m) {
                table.push_back({static_cast<double>(m), static_cast<double>(n), 1.0, 2.0, 0.0, 0.0});
            }
        }
        state_.mainField.fill(0.0f);
        EXPECT_TRUE(LoadRecords<float>(table, true, degree, state_.mainField)) << degree;
        EXPECT_EQ(state_.mainField[194], 1.0f) << degree;  // g(13,13)
        EXPECT_EQ(state_.mainField[195], 2.0f) << degree;  // h(13,13)
    }
}

TEST_F(Coefficients, MisorderedOrShortTableStopsAtTheFirstMisplacedRecord) {
    std::vector<CoefficientRecord> table(kCoefficientTable.begin(), kCoefficientTable.end());
    std::swap(table[3], table[4]);  // (2,1) and (2,2) exchanged
    state_.mainField.fill(0.0f);
    EXPECT_FALSE(LoadRecords<float>(table, true, kMainFieldDegree, state_.mainField));
    EXPECT_EQ(state_.mainField[4], -2197.0f);  // g(2,0), stored before the misplaced record
    EXPECT_EQ(state_.mainField[5], 0.0f);

    // A wrong degree is caught as well as a wrong order.
    table.assign(kCoefficientTable.begin(), kCoefficientTable.end());
    table[1].n = 2.0;
    EXPECT_FALSE(LoadRecords<float>(table, true, kMainFieldDegree, state_.mainField));

    // A table too short for the degree ends where its records run out.
    table.assign(kCoefficientTable.begin(), kCoefficientTable.begin() + 5);
    EXPECT_TRUE(LoadRecords<float>(table, true, 2, state_.mainField));
    EXPECT_FALSE(LoadRecords<float>(table, true, 3, state_.mainField));
}

}  // namespace
}  // namespace model

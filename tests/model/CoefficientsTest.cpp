// Loading the table into the working arrays and extrapolating it to a date.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ModelState.h"

namespace model {
namespace {

class Coefficients : public testing::Test {
protected:
    void SetUp() override {
        modelState = ModelState{};
        std::int32_t flag = 0;
        ASSERT_EQ(LoadCoefficients(kMainFieldColumns, kMainFieldDegree, kMainFieldTarget, flag), 0);
        ASSERT_EQ(flag, 0);
        ASSERT_EQ(LoadCoefficients(kSecularVariationColumns, kSecularVariationDegree, kSecularVariationTarget, flag),
                  0);
        ASSERT_EQ(flag, 0);
    }

    static std::int32_t Extrapolate(float date, std::int32_t mainDegree, std::int32_t secularDegree,
                                    std::int32_t setCode, std::int32_t& flag) {
        return ExtrapolateCoefficients(date, kModelEpoch, mainDegree, secularDegree, setCode, flag);
    }
};

TEST_F(Coefficients, LoadFillsTheWorkingOrder) {
    const CoefficientArray& main = modelState.mainField;
    EXPECT_EQ(main[1], -29682.0f);
    EXPECT_EQ(main[2], -1789.0f);
    EXPECT_EQ(main[3], 5318.0f);
    EXPECT_EQ(main[4], -2197.0f);
    EXPECT_EQ(main[8], -425.0f);  // h(2,2)
    EXPECT_EQ(main[119], 0.0f);   // g(10,10)
    EXPECT_EQ(main[120], -6.0f);  // h(10,10)
    EXPECT_EQ(main[121], 0.0f);   // beyond degree 10: untouched
    const CoefficientArray& secular = modelState.secularVariation;
    EXPECT_EQ(secular[1], 17.6f);
    EXPECT_EQ(static_cast<double>(secular[1]), 17.600000381469727);
    EXPECT_EQ(secular[3], -18.3f);
    EXPECT_EQ(secular[80], -0.6f);  // hdot(8,8)
    EXPECT_EQ(secular[81], 0.0f);
}

TEST_F(Coefficients, ExtrapolationIsLinearInTheDate) {
    std::int32_t flag = 1;
    EXPECT_EQ(Extrapolate(1995.0f, 10, 8, kDateSet, flag), 10);
    EXPECT_EQ(flag, 0);
    for (int i = 1; i <= 120; ++i) {
        EXPECT_EQ(modelState.dateCoefficients[i], modelState.mainField[i]) << "entry " << i;
    }

    EXPECT_EQ(Extrapolate(1997.0f, 10, 8, kNextYearSet, flag), 10);
    EXPECT_EQ(modelState.nextYearCoefficients[1], static_cast<float>(-29682.0 + 2.0 * 17.6f));
    EXPECT_EQ(modelState.nextYearCoefficients[1], -29646.8f);
    for (int i = 81; i <= 120; ++i) {
        EXPECT_EQ(modelState.nextYearCoefficients[i], modelState.mainField[i]) << "entry " << i;
    }

    // Before the epoch the factor is negative.
    Extrapolate(1990.0f, 10, 8, kDateSet, flag);
    EXPECT_EQ(modelState.dateCoefficients[1], static_cast<float>(-29682.0 - 5.0 * 17.6f));
    EXPECT_EQ(modelState.dateCoefficients[2], static_cast<float>(-1789.0 - 5.0 * 13.0));
}

TEST_F(Coefficients, DegreeCasesOfTheExtrapolation) {
    std::int32_t flag = 0;
    modelState.dateCoefficients.fill(7.0f);
    // Equal degrees: 1 .. M(M+2) formed, nothing above.
    EXPECT_EQ(Extrapolate(1996.0f, 8, 8, kDateSet, flag), 8);
    EXPECT_EQ(modelState.dateCoefficients[80], static_cast<float>(-0.6f + static_cast<double>(-10.0f)));
    EXPECT_EQ(modelState.dateCoefficients[81], 7.0f);

    // Secular degree higher: entries above the main degree grow from 0.
    modelState.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1997.0f, 2, 3, kDateSet, flag), 3);
    EXPECT_EQ(modelState.dateCoefficients[8], static_cast<float>(2.0 * -8.8f + -425.0));
    EXPECT_EQ(modelState.dateCoefficients[9], static_cast<float>(2.0 * 1.5f));
    EXPECT_EQ(modelState.dateCoefficients[15], static_cast<float>(2.0 * -12.1f));
    EXPECT_EQ(modelState.dateCoefficients[16], 7.0f);

    // Secular degree lower: entries above it keep the main field.
    modelState.dateCoefficients.fill(7.0f);
    EXPECT_EQ(Extrapolate(1997.0f, 3, 1, kDateSet, flag), 3);
    EXPECT_EQ(modelState.dateCoefficients[3], static_cast<float>(2.0 * -18.3f + 5318.0));
    EXPECT_EQ(modelState.dateCoefficients[4], -2197.0f);
    EXPECT_EQ(modelState.dateCoefficients[15], -406.0f);
    EXPECT_EQ(modelState.dateCoefficients[16], 7.0f);
    EXPECT_EQ(flag, 0);
}

TEST_F(Coefficients, DegreesBeyondTheArraysAreCut) {
    std::int32_t flag = 0;
    EXPECT_EQ(Extrapolate(1997.0f, 10, 20, kDateSet, flag), 20);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(modelState.dateCoefficients[168], 0.0f);  // nothing loaded there: 2 * 0
    std::vector<CoefficientRecord> table;
    for (int n = 1; n <= 14; ++n) {
        for (int m = 0; m <= n; ++m) {
            table.push_back({static_cast<double>(m), static_cast<double>(n), 1.0, 2.0, 0.0, 0.0});
        }
    }
    EXPECT_EQ(LoadCoefficients(table, kMainFieldColumns, 14, kMainFieldTarget, flag), 0);
    EXPECT_EQ(modelState.mainField[168], 2.0f);
}

TEST_F(Coefficients, InvalidCodesStoreNothing) {
    const ModelState before = modelState;
    std::int32_t flag = 0;
    EXPECT_EQ(LoadCoefficients(kMainFieldColumns, kMainFieldDegree, 0, flag), 0);
    EXPECT_EQ(flag, 1);
    flag = 0;
    EXPECT_EQ(LoadCoefficients(kSecularVariationColumns, kSecularVariationDegree, 3, flag), 0);
    EXPECT_EQ(flag, 1);
    flag = 0;
    EXPECT_EQ(ExtrapolateCoefficients(1997.0f, kModelEpoch, 10, 8, 2, flag), 10);
    EXPECT_EQ(flag, 1);
    flag = 0;
    EXPECT_EQ(ExtrapolateCoefficients(1997.0f, kModelEpoch, 4, 6, 5, flag), 6);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(std::memcmp(&before, &modelState, sizeof before), 0);
}

TEST_F(Coefficients, MisorderedTableStopsAtTheFirstMisplacedRecord) {
    std::vector<CoefficientRecord> table(kCoefficientTable.begin(), kCoefficientTable.end());
    std::swap(table[3], table[4]);  // (2,1) and (2,2) exchanged
    modelState.mainField.fill(0.0f);
    std::int32_t flag = 5;
    EXPECT_EQ(LoadCoefficients(table, kMainFieldColumns, kMainFieldDegree, kMainFieldTarget, flag), kTableOutOfOrder);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(modelState.mainField[4], -2197.0f);  // g(2,0), stored before the misplaced record
    EXPECT_EQ(modelState.mainField[5], 0.0f);

    // A wrong degree is caught as well as a wrong order, and an invalid target
    // still checks the records.
    table.assign(kCoefficientTable.begin(), kCoefficientTable.end());
    table[1].n = 2.0;
    EXPECT_EQ(LoadCoefficients(table, kMainFieldColumns, kMainFieldDegree, 7, flag), kTableOutOfOrder);
    EXPECT_EQ(flag, 1);

    // A table too short for the degree ends where its records run out.
    table.assign(kCoefficientTable.begin(), kCoefficientTable.begin() + 5);
    EXPECT_EQ(LoadCoefficients(table, kMainFieldColumns, 2, kMainFieldTarget, flag), 0);
    EXPECT_EQ(LoadCoefficients(table, kMainFieldColumns, 3, kMainFieldTarget, flag), kTableOutOfOrder);
}

}  // namespace
}  // namespace model

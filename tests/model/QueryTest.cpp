// The variation query as a whole: its failure paths, the sign rule of degrees
// and minutes, inputs that are no numbers, the change of D across +-180
// degrees, and agreement with the step-by-step reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

#include "Coefficients.h"
#include "LiteralModel.h"
#include "MagneticModel.h"
#include "MagneticQuery.h"
#include "ModelState.h"

namespace model {
namespace {

constexpr QueryCodes kModelCodes{kMainFieldTarget, kSecularVariationTarget, kDateSet, kNextYearSet};

MagneticElements Filled() {
    MagneticElements record{};
    std::memset(&record, 0x5A, sizeof record);
    return record;
}

bool SameBits(const MagneticElements& a, const MagneticElements& b) {
    // Compare field by field: the padding after the int fields carries nothing.
    const double left[] = {a.declinationChange,  a.inclinationChange,   a.horizontalChange, a.northChange,
                           a.eastChange,         a.verticalChange,      a.totalChange,      a.declinationMinutes,
                           a.inclinationMinutes, a.horizontalIntensity, a.northComponent,   a.eastComponent,
                           a.verticalComponent,  a.totalIntensity};
    const double right[] = {b.declinationChange,  b.inclinationChange,   b.horizontalChange, b.northChange,
                            b.eastChange,         b.verticalChange,      b.totalChange,      b.declinationMinutes,
                            b.inclinationMinutes, b.horizontalIntensity, b.northComponent,   b.eastComponent,
                            b.verticalComponent,  b.totalIntensity};
    return a.declinationDegrees == b.declinationDegrees && a.inclinationDegrees == b.inclinationDegrees &&
           std::memcmp(left, right, sizeof left) == 0;
}

TEST(Query, FailingLoadOrExtrapolationLeavesTheRecordAlone) {
    struct Case {
        QueryCodes codes;
        int status;
    };
    const Case cases[] = {
        {{0, kSecularVariationTarget, kDateSet, kNextYearSet}, kStatusLoadFailed},
        {{kMainFieldTarget, 3, kDateSet, kNextYearSet}, kStatusLoadFailed},
        {{kMainFieldTarget, kSecularVariationTarget, 1, kNextYearSet}, kStatusExtrapolationFailed},
        {{kMainFieldTarget, kSecularVariationTarget, kDateSet, 9}, kStatusExtrapolationFailed},
    };
    for (const Case& c : cases) {
        MagneticElements record = Filled();
        EXPECT_EQ(ComputeMagneticElements(c.codes, 51.5, 0.0, 1997.0, record), c.status);
        EXPECT_TRUE(SameBits(record, Filled()));
    }
    MagneticElements record = Filled();
    EXPECT_EQ(ComputeMagneticElements(kModelCodes, 51.5, 0.0, 1997.0, record), kStatusOk);
    EXPECT_EQ(record.declinationDegrees, -3);
}

TEST(Query, InputsThatAreNoNumbersAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double inputs[][3] = {{nan, 0.0, 1997.0}, {0.0, nan, 1997.0},  {0.0, 0.0, nan},
                                {inf, 0.0, 1997.0}, {0.0, -inf, 1997.0}, {0.0, 0.0, inf}};
    for (const auto& in : inputs) {
        MagneticElements record = Filled();
        EXPECT_EQ(ComputeMagneticElements(in[0], in[1], in[2], record), kStatusNotFinite);
        EXPECT_TRUE(SameBits(record, Filled()));
    }
}

TEST(Query, HugeFiniteInputsAreComputedOrRefusedNeverNaN) {
    // Years far beyond the model run through while the field stays within
    // single precision; beyond that, and for values single precision cannot
    // hold, the query refuses instead of answering NaN with status 0.
    for (const double year : {-1.0e6, 1.0e30}) {
        MagneticElements record = Filled();
        ASSERT_EQ(ComputeMagneticElements(10.0, 20.0, year, record), kStatusOk) << year;
        EXPECT_LE(std::abs(static_cast<std::int64_t>(record.declinationDegrees)), 3279523) << year;
        EXPECT_TRUE(std::isfinite(record.declinationChange) && std::isfinite(record.totalIntensity)) << year;
    }
    const double refused[][3] = {
        {10.0, 20.0, 3.0e38}, {10.0, 20.0, 1.0e300}, {1.0e300, 0.0, 1997.0}, {0.0, -1.0e39, 1997.0}};
    for (const auto& in : refused) {
        MagneticElements record = Filled();
        EXPECT_EQ(ComputeMagneticElements(in[0], in[1], in[2], record), kStatusNotFinite) << in[0] << ' ' << in[2];
        EXPECT_TRUE(SameBits(record, Filled()));
    }
}

TEST(Query, DegreesAndMinutesFollowTheSignRule) {
    struct Case {
        float degrees;
        std::int32_t whole;
        double minutes;
    };
    const Case cases[] = {
        {-3.6875f, -3, 41.25},       {-0.5f, 0, -30.0},   {0.5f, 0, 30.0},    {0.0f, 0, 0.0},
        {180.0f, 180, 0.0},          {-12.5f, -12, 30.0}, {66.25f, 66, 15.0}, {-66.25f, -66, 15.0},
        {3279523.5f, 3279523, 30.0},  // the date's marker 57238.484375 in degrees
    };
    for (const Case& c : cases) {
        std::int32_t whole = 99;
        double minutes = 99.0;
        SplitDegrees(c.degrees, whole, minutes);
        EXPECT_EQ(whole, c.whole) << c.degrees;
        EXPECT_EQ(minutes, c.minutes) << c.degrees;
    }
    std::int32_t whole = 99;
    double minutes = 0.0;
    SplitDegrees(std::numeric_limits<float>::quiet_NaN(), whole, minutes);
    EXPECT_EQ(whole, 0);
    EXPECT_TRUE(std::isnan(minutes));
}

TEST(Query, PoleAndItsGuardLatitudeGiveTheSameRecord) {
    MagneticElements pole{};
    MagneticElements nearPole{};
    ASSERT_EQ(ComputeMagneticElements(90.0, 0.0, 1997.0, pole), kStatusOk);
    ASSERT_EQ(ComputeMagneticElements(89.999, 0.0, 1997.0, nearPole), kStatusOk);
    EXPECT_TRUE(SameBits(pole, nearPole));
    EXPECT_TRUE(std::isfinite(pole.eastComponent));
}

TEST(Query, EpochQueryTakesTheMainFieldAndChangesFromTheVariation) {
    MagneticElements record{};
    ASSERT_EQ(ComputeMagneticElements(0.0, 0.0, 1995.0, record), kStatusOk);
    for (int i = 1; i <= 120; ++i) {
        ASSERT_EQ(modelState.dateCoefficients[i], modelState.mainField[i]) << i;
    }
    EXPECT_NEAR(record.northChange, 0.0, 200.0);
    EXPECT_NE(record.northChange, 0.0);
    // After a query the date's angles are in degrees, next year's in radians.
    EXPECT_NEAR(modelState.dateElements.D, -7.0 - 56.931 / 60.0, 1e-4);
    EXPECT_NEAR(modelState.nextYearElements.D * 57.29578, modelState.dateElements.D, 0.2);
}

TEST(Query, DeclinationChangeAcrossTheHalfTurnStaysSmall) {
    // Near the north magnetic pole D passes from about 178.9 to -179.6
    // degrees within 1997; a plain difference would give about -21507.
    MagneticElements record{};
    ASSERT_EQ(ComputeMagneticElements(83.5, -114.5, 1997.0, record), kStatusOk);
    const double dateD = modelState.dateElements.D;                 // degrees
    const double nextD = modelState.nextYearElements.D * 57.29578;  // radians to degrees
    ASSERT_GT(dateD, 178.0);
    ASSERT_LT(nextD, -179.0);
    EXPECT_GT(record.declinationChange, 0.0);
    EXPECT_NEAR(record.declinationChange, (nextD + 360.0 - dateD) * 60.0, 0.05);
    EXPECT_LT(record.declinationChange, 200.0);
    // South of the southern crossing the other way.
    ASSERT_EQ(ComputeMagneticElements(-84.5, 150.5, 1997.0, record), kStatusOk);
    EXPECT_LT(record.declinationChange, 0.0);
    EXPECT_GT(record.declinationChange, -10.0);
}

TEST(Query, FastQueryMatchesTheLiteralOneBitForBit) {
    std::mt19937_64 generator(20260101);
    std::uniform_real_distribution<double> latitudes(-90.0, 90.0);
    std::uniform_real_distribution<double> longitudes(-360.0, 360.0);
    std::uniform_real_distribution<double> years(1990.0, 2010.0);
    int compared = 0;
    for (int i = 0; i < 4000; ++i) {
        double latitude = latitudes(generator);
        if (i % 50 == 0) {
            latitude = i % 100 == 0 ? 90.0 : -90.0;
        }
        const double longitude = longitudes(generator);
        const double year = years(generator);
        MagneticElements fast{};
        MagneticElements slow{};
        ASSERT_EQ(ComputeMagneticElements(latitude, longitude, year, fast), kStatusOk);
        const ModelState fastState = modelState;
        // Within +-180 degrees the longitude is taken as it is; beyond, it is
        // first brought into that range in double.
        const double wrapped = std::fabs(longitude) <= 180.0 ? longitude : std::remainder(longitude, 360.0);
        ASSERT_EQ(literal::ComputeMagneticElements(latitude, wrapped, year, slow), kStatusOk);
        ASSERT_TRUE(SameBits(fast, slow)) << latitude << ' ' << longitude << ' ' << year;
        ASSERT_EQ(std::memcmp(&fastState, &modelState, sizeof fastState), 0) << latitude << ' ' << longitude;
        ++compared;
    }
    EXPECT_EQ(compared, 4000);

    const double rows[][3] = {{51.5, 0.0, 1997.0},    {37.8, -122.4, 1997.0}, {0.0, 0.0, 1995.0},
                              {-33.9, 151.2, 1997.0}, {40.0, -74.0, 1998.2},  {60.0, -45.0, 1999.5},
                              {78.0, 15.0, 1996.0},   {50.0, 8.0, 1997.0},    {83.5, -114.5, 1997.0},
                              {100.0, 30.0, 1997.0},  {-200.0, 10.0, 1980.0}, {0.0, 720.5, 2050.0},
                              {0.0, 180.0, 1997.0},   {0.0, -180.0, 1997.0}};
    for (const auto& row : rows) {
        MagneticElements fast{};
        MagneticElements slow{};
        const double wrapped = std::fabs(row[1]) <= 180.0 ? row[1] : std::remainder(row[1], 360.0);
        EXPECT_EQ(ComputeMagneticElements(row[0], row[1], row[2], fast),
                  literal::ComputeMagneticElements(row[0], wrapped, row[2], slow));
        EXPECT_TRUE(SameBits(fast, slow)) << row[0] << ' ' << row[1];
    }
}

TEST(Query, LongitudesBeyondAHalfTurnAreWrappedBeforeRounding) {
    // Each row: a longitude and the one within +-180 that must give the same bits.
    const double rows[][2] = {{36000000.0, 0.0},
                              {-36000000.0, 0.0},
                              {720.5, 0.5},
                              {-359.75, 0.25},
                              {std::nextafter(180.0, 360.0), std::nextafter(180.0, 360.0) - 360.0},
                              {540.0, -180.0},
                              {1.0e30, std::remainder(1.0e30, 360.0)}};
    for (const auto& row : rows) {
        MagneticElements wrapped{};
        MagneticElements direct{};
        ASSERT_EQ(ComputeMagneticElements(51.5, row[0], 1997.5, wrapped), kStatusOk) << row[0];
        ASSERT_EQ(ComputeMagneticElements(51.5, row[1], 1997.5, direct), kStatusOk) << row[1];
        EXPECT_TRUE(SameBits(wrapped, direct)) << row[0];
    }
}

}  // namespace
}  // namespace model

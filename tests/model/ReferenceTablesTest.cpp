// The model against the system's reference values: components of the main
// field at five points, and whole queries at eight points and dates.
#include <gtest/gtest.h>

#include <cstdint>

#include "Engine.h"
#include "MagneticModel.h"

namespace model {
namespace {

TEST(MainFieldComponents, MatchToAHundredthOfANanotesla) {
    struct Row {
        const char* name;
        float latitude;
        float longitude;
        double X, Y, Z;
    };
    const Row rows[] = {
        {"equator 0 E", 0.0f, 0.0f, 27397.98, -3825.60, -14535.90},
        {"51.5 N 0 E", 51.5f, 0.0f, 19192.59, -1316.22, 44157.15},
        {"45 N 100 W", 45.0f, -100.0f, 17515.67, 2552.37, 54836.57},
        {"north pole", 90.0f, 0.0f, 1838.04, -1065.58, 56218.67},
        {"south pole", -90.0f, 0.0f, 14507.64, -7593.06, -53769.75},
    };
    ModelStateOf<float> state{};
    ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, true, kMainFieldDegree, state.mainField));
    ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, false, kSecularVariationDegree, state.secularVariation));
    const std::int32_t degree =
        ExtrapolateBothSets(state, kModelEpoch, kModelEpoch, kModelEpoch, kMainFieldDegree, kSecularVariationDegree);
    for (const Row& row : rows) {
        FieldPositionOf<float> position{};
        ComputeFieldPosition(SpheroidOfModel<float>(ReferenceField1995()), row.latitude, row.longitude, 0.0f, degree,
                             position);
        ElementSetOf<float> set{};
        ElementSetOf<float> unused{};
        SumFields(position, state.dateCoefficients, set, state.dateCoefficients, unused);
        EXPECT_NEAR(set.X, row.X, 0.005) << row.name;
        EXPECT_NEAR(set.Y, row.Y, 0.005) << row.name;
        EXPECT_NEAR(set.Z, row.Z, 0.005) << row.name;
    }
}

TEST(WholeQuery, MatchesTheReferenceRecord) {
    struct Row {
        const char* name;
        double latitude, longitude, year;
        std::int32_t declinationDegrees;
        double declinationMinutes;
        std::int32_t inclinationDegrees;
        double inclinationMinutes, H, F, declinationChange;
    };
    const Row rows[] = {
        {"London 1997", 51.5, 0.0, 1997.0, -3, 41.252, 66, 27.195, 19253.7, 48194.8, 7.06},
        {"San Francisco 1997", 37.8, -122.4, 1997.0, 15, 38.135, 61, 30.071, 23905.9, 50102.4, -1.88},
        {"equator 1995", 0.0, 0.0, 1995.0, -7, 56.931, -27, 43.178, 27663.8, 31250.2, 6.53},
        {"Sydney 1997", -33.9, 151.2, 1997.0, 12, 42.260, -64, 36.307, 24690.3, 57572.8, 0.02},
        {"New York 1998.2", 40.0, -74.0, 1998.2, -13, 5.005, 67, 58.220, 20191.8, 53832.3, -3.62},
        {"Greenland 1999.5", 60.0, -45.0, 1999.5, -28, 27.651, 75, 37.181, 13439.9, 54115.0, 14.30},
        {"Svalbard 1996", 78.0, 15.0, 1996.0, 1, 26.297, 81, 52.805, 7646.4, 54135.4, 8.23},
        {"small west variation", 50.0, 8.0, 1997.0, 0, -32.001, 65, 28.427, 19927.4, 48005.2, 5.58},
        // A hair west of due south, where D once read 180 0.0 E: D is atan2 of
        // the record's own Y and X (-179.9116 and -179.9853 degrees).
        {"near due south, arctic", 79.87997601501189, -106.75078864353311, 1997.2609589041097, -179, 54.696, 89, 54.839,
         85.8, 57157.6, 855.61},
        {"near due south, antarctic", -86.3, 151.2, 1997.5, -179, 59.118, -75, 32.850, 14625.6, 58601.4, -1.83},
    };
    for (const Row& row : rows) {
        MagneticElements result{};
        ASSERT_EQ(ComputeMagneticElements(row.latitude, row.longitude, row.year, result), kStatusOk) << row.name;
        EXPECT_EQ(result.declinationDegrees, row.declinationDegrees) << row.name;
        EXPECT_NEAR(result.declinationMinutes, row.declinationMinutes, 0.0005) << row.name;
        EXPECT_EQ(result.inclinationDegrees, row.inclinationDegrees) << row.name;
        EXPECT_NEAR(result.inclinationMinutes, row.inclinationMinutes, 0.0005) << row.name;
        EXPECT_NEAR(result.horizontalIntensity, row.H, 0.05) << row.name;
        EXPECT_NEAR(result.totalIntensity, row.F, 0.05) << row.name;
        EXPECT_NEAR(result.declinationChange, row.declinationChange, 0.005) << row.name;
    }
}

}  // namespace
}  // namespace model

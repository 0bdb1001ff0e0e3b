// Field synthesis and element computation at single points: the pole guard,
// the geocentric frame, longitude wrap, the two dates' sums side by side,
// the degree cut and the markers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>

#include "Engine.h"

namespace model {
namespace {

bool SameBits(const ElementSetOf<float>& a, const ElementSetOf<float>& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The 1995 field extrapolated to 1995.0 (date) and 1998.5 (next year).
class Synthesis : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, true, kMainFieldDegree, state_.mainField));
        ASSERT_TRUE(LoadRecords<float>(kCoefficientTable, false, kSecularVariationDegree, state_.secularVariation));
        degree_ = ExtrapolateBothSets(state_, 1995.0f, 1998.5f, kModelEpoch, kMainFieldDegree, kSecularVariationDegree);
    }

    FieldPositionOf<float> Position(float latitude, float longitude, float height = 0.0f,
                                    std::int32_t degree = kMainFieldDegree) const {
        FieldPositionOf<float> position{};
        ComputeFieldPosition(SpheroidOfModel<float>(ReferenceField1995()), latitude, longitude, height, degree,
                             position);
        return position;
    }

    // The date's field (or next year's) at a point.
    ElementSetOf<float> Synthesize(float latitude, float longitude, bool nextYear = false) const {
        ElementSetOf<float> date{};
        ElementSetOf<float> next{};
        SumFields(Position(latitude, longitude, 0.0f, degree_), state_.dateCoefficients, date,
                  state_.nextYearCoefficients, next);
        return nextYear ? next : date;
    }

    // One array's field at a position (in both lanes of the pair).
    static ElementSetOf<float> Sum(const FieldPositionOf<float>& position,
                                   const CoefficientArrayOf<float>& coefficients) {
        ElementSetOf<float> first{};
        ElementSetOf<float> second{};
        SumFields(position, coefficients, first, coefficients, second);
        EXPECT_TRUE(std::memcmp(&first, &second, sizeof first) == 0);
        return first;
    }

    ModelStateOf<float> state_{};
    std::int32_t degree_ = 0;
};

TEST_F(Synthesis, PoleGuardGivesTheSameFieldJustShortOfThePole) {
    for (float pole : {90.0f, -90.0f}) {
        const ElementSetOf<float> atPole = Synthesize(pole, 30.0f);
        const ElementSetOf<float> nearPole = Synthesize(pole > 0 ? 89.999f : -89.999f, 30.0f);
        EXPECT_EQ(atPole.X, nearPole.X);
        EXPECT_EQ(atPole.Y, nearPole.Y);
        EXPECT_EQ(atPole.Z, nearPole.Z);
        EXPECT_TRUE(std::isfinite(atPole.Y));
        EXPECT_GT(std::fabs(atPole.Z), 50000.0f);
    }
}

TEST_F(Synthesis, GeocentricRadiusOnTheEllipsoid) {
    FieldPositionOf<float> position = Position(0.0f, 0.0f);
    EXPECT_NEAR(position.radius, std::sqrt(40680924.0), 0.001);
    EXPECT_FLOAT_EQ(position.cd, 1.0f);
    EXPECT_NEAR(position.sd, 0.0f, 1e-6);
    // At the pole the guard latitude 89.999 puts the radius a hair above b.
    EXPECT_NEAR(Position(90.0f, 0.0f).radius, std::sqrt(40408588.0), 0.001);
    EXPECT_NEAR(Position(-90.0f, 0.0f).radius, std::sqrt(40408588.0), 0.001);
    // Height adds straight up at the equator.
    EXPECT_NEAR(Position(0.0f, 0.0f, 100.0f).radius, std::sqrt(40680924.0) + 100.0, 0.001);
}

TEST_F(Synthesis, LongitudeWrapsAroundAFullTurn) {
    for (float longitude : {-170.0f, -45.5f, 0.0f, 12.25f, 179.0f}) {
        const ElementSetOf<float> once = Synthesize(33.0f, longitude);
        const ElementSetOf<float> wrapped = Synthesize(33.0f, longitude + 360.0f);
        // lambda + 360 keeps fewer bits of the fraction in single precision.
        EXPECT_NEAR(once.X, wrapped.X, 0.1) << longitude;
        EXPECT_NEAR(once.Y, wrapped.Y, 0.1) << longitude;
        EXPECT_NEAR(once.Z, wrapped.Z, 0.1) << longitude;
    }
}

TEST_F(Synthesis, BothDatesSummedSideBySideMatchTheirOwnSumsBitForBit) {
    // Each date's sum has its own roundings in its lane of the pair, at any
    // latitude (beyond +-90 too), height and degree.
    for (float latitude : {-135.0f, -89.9995f, -45.0f, 0.5f, 51.5f, 89.999f, 100.0f}) {
        for (float height : {-3000.0f, 0.5f, 35786.0f, 1.0e6f}) {
            for (std::int32_t degree : {1, 6, 10}) {
                const FieldPositionOf<float> position = Position(latitude, 20.0f, height, degree);
                ElementSetOf<float> date{};
                ElementSetOf<float> next{};
                SumFields(position, state_.dateCoefficients, date, state_.nextYearCoefficients, next);
                EXPECT_TRUE(SameBits(date, Sum(position, state_.dateCoefficients))) << latitude << ' ' << height;
                EXPECT_TRUE(SameBits(next, Sum(position, state_.nextYearCoefficients))) << latitude << ' ' << height;
            }
        }
    }
    EXPECT_NE(Synthesize(-20.0f, 60.0f).Z, Synthesize(-20.0f, 60.0f, true).Z);  // different arrays
}

TEST_F(Synthesis, DegreeBeyondTheArraysSumsWhatTheyHold) {
    const ElementSetOf<float> degree13 =
        Sum(Position(20.0f, 20.0f, 0.0f, kMaxCoefficientDegree), state_.dateCoefficients);
    EXPECT_TRUE(SameBits(degree13, Sum(Position(20.0f, 20.0f, 0.0f, 40), state_.dateCoefficients)));
    // The 1995 field's table ends at degree 10: degrees 11 to 13 add zeros.
    EXPECT_TRUE(SameBits(degree13, Sum(Position(20.0f, 20.0f, 0.0f, 10), state_.dateCoefficients)));
}

// The element set of the date (true) or of next year with the given components.
ElementSetOf<float> ElementsOf(bool date, float X, float Y, float Z) {
    ElementSetOf<float> set{-1.0f, -1.0f, -1.0f, X, Y, Z, -1.0f};
    if (date) {
        ComputeElements(set, kDateUndeterminedMarker, kDateUndeterminedMarker);
    } else {
        ComputeElements(set, kNextYearUndeterminedMarker, kNextYearNoHorizontalMarker);
    }
    return set;
}

TEST(Elements, AnglesAndIntensities) {
    const ElementSetOf<float> e = ElementsOf(true, 3000.0f, -4000.0f, 12000.0f);
    EXPECT_EQ(e.H, 5000.0f);
    EXPECT_EQ(e.F, 13000.0f);
    EXPECT_FLOAT_EQ(e.D, static_cast<float>(std::atan2(-4000.0, 3000.0)));
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(std::atan2(12000.0, 5000.0)));
    EXPECT_EQ(e.X, 3000.0f);  // components are only read
}

TEST(Elements, UndeterminedDirectionsGiveTheMarkers) {
    ElementSetOf<float> e = ElementsOf(true, 0.0f, 0.0f, 0.00005f);
    EXPECT_EQ(e.D, 57238.484375f);
    EXPECT_EQ(e.I, 57238.484375f);
    EXPECT_EQ(e.F, 0.00005f);
    e = ElementsOf(false, 0.00003f, 0.00004f, 0.0f);
    EXPECT_EQ(e.D, 999.0f);
    EXPECT_EQ(e.I, 999.0f);

    // No horizontal field: I is determined, D is not.
    e = ElementsOf(true, 0.00003f, 0.0f, 50000.0f);
    EXPECT_EQ(e.D, 57238.484375f);
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(std::atan2(50000.0, 0.00003)));
    e = ElementsOf(false, 0.0f, 0.0f, -50000.0f);
    EXPECT_EQ(e.D, 9990.0f);
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(-std::acos(0.0)));
}

TEST(Elements, DueSouthHorizontalFieldIsHalfATurn) {
    EXPECT_EQ(ElementsOf(true, -20000.0f, 0.0f, 1000.0f).D, 3.1415927f);
    EXPECT_EQ(ElementsOf(false, -20000.0f, 0.0f, 1000.0f).D, 3.1415927f);
    EXPECT_EQ(ElementsOf(true, -20000.0f, -0.0f, 1000.0f).D, 3.1415927f);  // never -pi
    // A sliver of east or west field is lost in H, but not in D.
    EXPECT_EQ(ElementsOf(true, -20000.0f, -1.0f, 0.0f).D, static_cast<float>(std::atan2(-1.0, -20000.0)));
    EXPECT_EQ(ElementsOf(true, -20000.0f, 1.0f, 0.0f).D, static_cast<float>(std::atan2(1.0, -20000.0)));
    EXPECT_NEAR(ElementsOf(true, -20000.0f, 300.0f, 0.0f).D, std::atan2(300.0, -20000.0), 1e-6);
    EXPECT_NEAR(ElementsOf(true, -20000.0f, -300.0f, 0.0f).D, std::atan2(-300.0, -20000.0), 1e-6);
}

// D against atan2 of the set's own Y and X: at most one single-precision step
// off, over a million random components and within 0.1 degree of due south.
TEST(Elements, DeclinationIsAtan2OfTheComponentsEverywhere) {
    std::mt19937 generator(19970304);
    std::uniform_real_distribution<float> component(-60000.0f, 60000.0f);
    std::uniform_real_distribution<double> nearSouth(-0.1, 0.1);       // degrees off due south
    std::uniform_real_distribution<double> horizontal(0.01, 60000.0);  // H, nT
    int worse = 0;
    for (int i = 0; i < 1200000; ++i) {
        float X = component(generator);
        float Y = component(generator);
        if (i >= 1000000) {
            const double h = horizontal(generator);
            const double off = nearSouth(generator) * std::numbers::pi / 180.0;
            X = static_cast<float>(-h * std::cos(off));
            Y = static_cast<float>(h * std::sin(off));
        }
        const float D = ElementsOf(true, X, Y, 30000.0f).D;
        const auto expected = static_cast<float>(std::atan2(static_cast<double>(Y), static_cast<double>(X)));
        const float step = std::nextafter(std::fabs(expected), 4.0f) - std::fabs(expected);
        if (!(std::fabs(D - expected) <= step)) {
            ADD_FAILURE() << X << ' ' << Y << ": " << D << " against " << expected;
            if (++worse > 5) {
                break;
            }
        }
    }
}

}  // namespace
}  // namespace model

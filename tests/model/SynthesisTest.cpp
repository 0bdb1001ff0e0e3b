// Field synthesis and element computation at single points: the pole guard,
// the geocentric frame, longitude wrap, invalid set codes and the markers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <random>

#include "CoefficientRecord.h"
#include "Coefficients.h"
#include "ElementAngles.h"
#include "FieldSynthesis.h"
#include "LiteralModel.h"
#include "ModelState.h"

namespace model {
namespace {

bool SameBits(const ElementSet& a, const ElementSet& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class Synthesis : public testing::Test {
protected:
    void SetUp() override {
        std::int32_t flag = 0;
        LoadCoefficients(kMainFieldColumns, kMainFieldDegree, kMainFieldTarget, flag);
        LoadCoefficients(kSecularVariationColumns, kSecularVariationDegree, kSecularVariationTarget, flag);
        ExtrapolateCoefficients(1995.0f, kModelEpoch, kMainFieldDegree, kSecularVariationDegree, kDateSet, flag);
        m_degree = ExtrapolateCoefficients(1998.5f, kModelEpoch, kMainFieldDegree, kSecularVariationDegree,
                                           kNextYearSet, flag);
    }

    ElementSet Synthesize(float latitude, float longitude, std::int32_t setCode = kDateSet) const {
        std::int32_t flag = 1;
        EXPECT_EQ(SynthesizeField(latitude, longitude, 0.0f, m_degree, setCode, flag), 0);
        EXPECT_EQ(flag, 0);
        return setCode == kDateSet ? modelState.dateElements : modelState.nextYearElements;
    }

    std::int32_t m_degree = 0;
};

TEST_F(Synthesis, PoleGuardGivesTheSameFieldJustShortOfThePole) {
    for (float pole : {90.0f, -90.0f}) {
        const ElementSet atPole = Synthesize(pole, 30.0f);
        const ElementSet nearPole = Synthesize(pole > 0 ? 89.999f : -89.999f, 30.0f);
        EXPECT_EQ(atPole.X, nearPole.X);
        EXPECT_EQ(atPole.Y, nearPole.Y);
        EXPECT_EQ(atPole.Z, nearPole.Z);
        EXPECT_TRUE(std::isfinite(atPole.Y));
        EXPECT_GT(std::fabs(atPole.Z), 50000.0f);
    }
}

TEST_F(Synthesis, GeocentricRadiusOnTheEllipsoid) {
    FieldPosition position{};
    ComputeFieldPosition(0.0f, 0.0f, 0.0f, m_degree, position);
    EXPECT_NEAR(position.radius, std::sqrt(40680924.0), 0.001);
    EXPECT_FLOAT_EQ(position.cd, 1.0f);
    EXPECT_NEAR(position.sd, 0.0f, 1e-6);
    // At the pole the guard latitude 89.999 puts the radius a hair above b.
    ComputeFieldPosition(90.0f, 0.0f, 0.0f, m_degree, position);
    EXPECT_NEAR(position.radius, std::sqrt(40408588.0), 0.001);
    ComputeFieldPosition(-90.0f, 0.0f, 0.0f, m_degree, position);
    EXPECT_NEAR(position.radius, std::sqrt(40408588.0), 0.001);
    // Height adds straight up at the equator.
    ComputeFieldPosition(0.0f, 0.0f, 100.0f, m_degree, position);
    EXPECT_NEAR(position.radius, std::sqrt(40680924.0) + 100.0, 0.001);
}

TEST_F(Synthesis, LongitudeWrapsAroundAFullTurn) {
    for (float longitude : {-170.0f, -45.5f, 0.0f, 12.25f, 179.0f}) {
        const ElementSet once = Synthesize(33.0f, longitude);
        const ElementSet wrapped = Synthesize(33.0f, longitude + 360.0f);
        // lambda + 360 keeps fewer bits of the fraction in single precision.
        EXPECT_NEAR(once.X, wrapped.X, 0.1) << longitude;
        EXPECT_NEAR(once.Y, wrapped.Y, 0.1) << longitude;
        EXPECT_NEAR(once.Z, wrapped.Z, 0.1) << longitude;
    }
}

TEST_F(Synthesis, EachSetCodeWritesOnlyItsOwnSet) {
    const ElementSet date = Synthesize(-20.0f, 60.0f, kDateSet);
    const ElementSet next = Synthesize(-20.0f, 60.0f, kNextYearSet);
    EXPECT_TRUE(SameBits(modelState.dateElements, date));
    EXPECT_NE(date.Z, next.Z);  // different coefficient arrays

    // Repeating a call gives the same bits: X, Y, Z start from 0 each time.
    EXPECT_TRUE(SameBits(Synthesize(-20.0f, 60.0f, kDateSet), date));
}

TEST_F(Synthesis, InvalidCodesChangeNeitherSet) {
    Synthesize(10.0f, 10.0f, kDateSet);
    Synthesize(10.0f, 10.0f, kNextYearSet);
    std::int32_t unused = 0;
    ComputeElements(kDateSet, unused);
    const ModelState before = modelState;
    for (std::int32_t code : {0, 1, 2, 5, -3}) {
        std::int32_t flag = 0;
        EXPECT_EQ(SynthesizeField(40.0f, 40.0f, 0.0f, m_degree, code, flag), 0);
        EXPECT_EQ(flag, 1);
        flag = 0;
        EXPECT_EQ(literal::SynthesizeField(40.0f, 40.0f, 0.0f, m_degree, code, flag), 0);
        EXPECT_EQ(flag, 1);
        flag = 0;
        EXPECT_EQ(ComputeElements(code, flag), code);
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(std::memcmp(&before, &modelState, sizeof before), 0) << "code " << code;
    }
}

TEST_F(Synthesis, SplitSynthesisMatchesTheLiteralOneBitForBit) {
    // Latitudes beyond +-90 turn the cosine negative and take the other form
    // of the east component.
    for (float latitude : {-135.0f, -90.0f, -89.9995f, -45.0f, 0.0f, 0.5f, 51.5f, 89.999f, 90.0f, 100.0f, 400.0f}) {
        for (float longitude : {-360.0f, -100.0f, 0.0f, 0.001f, 179.5f, 359.9f}) {
            for (std::int32_t set : {kDateSet, kNextYearSet}) {
                const ElementSet fast = Synthesize(latitude, longitude, set);
                std::int32_t flag = 0;
                literal::SynthesizeField(latitude, longitude, 0.0f, m_degree, set, flag);
                const ElementSet& slow = set == kDateSet ? modelState.dateElements : modelState.nextYearElements;
                EXPECT_TRUE(SameBits(fast, slow)) << latitude << ' ' << longitude << ' ' << set;
            }
        }
    }
    // A degree beyond the arrays sums what they hold.
    std::int32_t cutFlag = 0;
    SynthesizeField(20.0f, 20.0f, 0.0f, 12, kDateSet, cutFlag);
    const ElementSet degree12 = modelState.dateElements;
    SynthesizeField(20.0f, 20.0f, 0.0f, 40, kDateSet, cutFlag);
    EXPECT_TRUE(SameBits(degree12, modelState.dateElements));

    // Above and below the surface (radial factors far from 1, where the
    // powers take other values) and to a lower degree as well.
    for (float height : {-3000.0f, -10.0f, 0.5f, 400.0f, 35786.0f, 1.0e6f}) {
        for (std::int32_t degree : {1, 6, 10, 12}) {
            std::int32_t flag = 0;
            SynthesizeField(20.0f, 20.0f, height, degree, kDateSet, flag);
            const ElementSet fast = modelState.dateElements;
            literal::SynthesizeField(20.0f, 20.0f, height, degree, kDateSet, flag);
            EXPECT_TRUE(SameBits(fast, modelState.dateElements)) << height << ' ' << degree;
        }
    }
}

ElementSet ElementsOf(std::int32_t setCode, float X, float Y, float Z) {
    ElementSet& set = setCode == kDateSet ? modelState.dateElements : modelState.nextYearElements;
    set = ElementSet{-1.0f, -1.0f, -1.0f, X, Y, Z, -1.0f};
    std::int32_t flag = 1;
    EXPECT_EQ(ComputeElements(setCode, flag), setCode);
    EXPECT_EQ(flag, 0);
    return set;
}

TEST(Elements, AnglesAndIntensities) {
    const ElementSet e = ElementsOf(kDateSet, 3000.0f, -4000.0f, 12000.0f);
    EXPECT_EQ(e.H, 5000.0f);
    EXPECT_EQ(e.F, 13000.0f);
    EXPECT_FLOAT_EQ(e.D, static_cast<float>(std::atan2(-4000.0, 3000.0)));
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(std::atan2(12000.0, 5000.0)));
    EXPECT_EQ(e.X, 3000.0f);  // components are only read
}

TEST(Elements, UndeterminedDirectionsGiveTheMarkers) {
    ElementSet e = ElementsOf(kDateSet, 0.0f, 0.0f, 0.00005f);
    EXPECT_EQ(e.D, 57238.484375f);
    EXPECT_EQ(e.I, 57238.484375f);
    EXPECT_EQ(e.F, 0.00005f);
    e = ElementsOf(kNextYearSet, 0.00003f, 0.00004f, 0.0f);
    EXPECT_EQ(e.D, 999.0f);
    EXPECT_EQ(e.I, 999.0f);

    // No horizontal field: I is determined, D is not.
    e = ElementsOf(kDateSet, 0.00003f, 0.0f, 50000.0f);
    EXPECT_EQ(e.D, 57238.484375f);
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(std::atan2(50000.0, 0.00003)));
    e = ElementsOf(kNextYearSet, 0.0f, 0.0f, -50000.0f);
    EXPECT_EQ(e.D, 9990.0f);
    EXPECT_FLOAT_EQ(e.I, static_cast<float>(-std::acos(0.0)));
}

TEST(Elements, DueSouthHorizontalFieldIsHalfATurn) {
    EXPECT_EQ(ElementsOf(kDateSet, -20000.0f, 0.0f, 1000.0f).D, 3.1415927f);
    EXPECT_EQ(ElementsOf(kNextYearSet, -20000.0f, 0.0f, 1000.0f).D, 3.1415927f);
    EXPECT_EQ(ElementsOf(kDateSet, -20000.0f, -0.0f, 1000.0f).D, 3.1415927f);  // never -pi
    // A sliver of east or west field is lost in H, but not in D.
    EXPECT_EQ(ElementsOf(kDateSet, -20000.0f, -1.0f, 0.0f).D, static_cast<float>(std::atan2(-1.0, -20000.0)));
    EXPECT_EQ(ElementsOf(kDateSet, -20000.0f, 1.0f, 0.0f).D, static_cast<float>(std::atan2(1.0, -20000.0)));
    EXPECT_NEAR(ElementsOf(kDateSet, -20000.0f, 300.0f, 0.0f).D, std::atan2(300.0, -20000.0), 1e-6);
    EXPECT_NEAR(ElementsOf(kDateSet, -20000.0f, -300.0f, 0.0f).D, std::atan2(-300.0, -20000.0), 1e-6);
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
        const float D = ElementsOf(kDateSet, X, Y, 30000.0f).D;
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

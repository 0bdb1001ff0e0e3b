// The variation readout's text: hemisphere from the minutes when the degrees are 0.
#include <gtest/gtest.h>

#include <string>

#include "VariationText.h"

namespace model {
namespace {

TEST(VariationText, FormatsDegreesMinutesAndHemisphere) {
    EXPECT_EQ(FormatVariation(0, -30.0), "   0\xB0 30.0' W");
    EXPECT_EQ(FormatVariation(0, 30.0), "   0\xB0 30.0' E");
    EXPECT_EQ(FormatVariation(-12, 30.0), "  12\xB0 30.0' W");
    EXPECT_EQ(FormatVariation(0, 0.0), "   0\xB0  0.0' E");
    EXPECT_EQ(FormatVariation(3, 59.96), "   3\xB0 60.0' E");
    EXPECT_EQ(FormatVariation(-179, 59.0), " 179\xB0 59.0' W");
}

TEST(VariationText, TheDegreeSignIsOneByte) {
    const std::string text = FormatVariation(15, 38.135);
    ASSERT_EQ(text.size(), 13u);
    EXPECT_EQ(static_cast<unsigned char>(text[4]), 0xB0);
}

TEST(VariationText, WestTakesTheSignFromTheMinutesAtZeroDegrees) {
    EXPECT_TRUE(IsWestDeclination(-3, 41.25));
    EXPECT_FALSE(IsWestDeclination(3, 41.25));
    EXPECT_TRUE(IsWestDeclination(0, -0.01));
    EXPECT_FALSE(IsWestDeclination(0, 0.01));
    EXPECT_FALSE(IsWestDeclination(0, 0.0));
    EXPECT_FALSE(IsWestDeclination(0, -0.0));
}

TEST(VariationText, ExtremeDegreesStayReadable) {
    EXPECT_EQ(FormatVariation(3279523, 30.0), "3279523\xB0 30.0' E");
    EXPECT_EQ(FormatVariation(-2147483647 - 1, 1.0), "2147483648\xB0  1.0' W");
}

}  // namespace
}  // namespace model

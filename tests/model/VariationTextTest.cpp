// The variation readout's text: hemisphere from the minutes when the degrees are 0.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "VariationText.h"
#include "tests/support/DecimalCommaLocale.h"

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

// The minutes are printf's "%4.1f" in the C locale, whatever the process
// locale: the readout shows "6\xB0 45.6' W" under a decimal-comma locale too.
TEST(VariationText, MinutesMatchPrintfInTheCLocaleAndInADecimalCommaLocale) {
    const double minutes[] = {0.0,         -0.0,  0.05,   0.25,  9.95,   45.6,
                              59.94,       59.95, -59.99, 1e300, 1e-300, std::numeric_limits<double>::infinity(),
                              std::nan("")};
    const auto expect = [](std::int32_t d, double m) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%4lld\xB0 %4.1f' %c", std::llabs(static_cast<long long>(d)), std::fabs(m),
                      IsWestDeclination(d, m) ? 'W' : 'E');
        return std::string(buffer);
    };
    for (const double m : minutes) EXPECT_EQ(FormatVariation(-6, m), expect(-6, m)) << m;
    const testsupport::DecimalCommaLocale comma;
    ASSERT_TRUE(comma.ok() && testsupport::DecimalCommaLocale::comma()) << "no locale with a decimal comma";
    EXPECT_EQ(FormatVariation(-6, 45.6), "   6\xB0 45.6' W");
    EXPECT_EQ(FormatVariation(0, -0.25), "   0\xB0  0.2' W");
}

}  // namespace
}  // namespace model

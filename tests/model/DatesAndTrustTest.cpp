// The decimal year of a calendar day, and how far a WMM2025 answer is trusted.
#include <gtest/gtest.h>

#include <cmath>
#include <string_view>
#include <utility>

#include "ModelDate.h"
#include "Uncertainty.h"

namespace model {
namespace {

TEST(DecimalYear, CountsTheDaysOfTheYearAsTheModelsDo) {
    struct Case {
        int year, month, day;
        double decimal;
    };
    const Case cases[] = {
        {2026, 1, 1, 2026.0},
        {2026, 12, 9, 2026.0 + 342.0 / 365.0},   // 2026.93699
        {2029, 12, 31, 2029.0 + 364.0 / 365.0},  // still inside WMM2025
        {2024, 3, 1, 2024.0 + 60.0 / 366.0},     // after 29 February
        {2024, 12, 31, 2024.0 + 365.0 / 366.0},
        {2100, 3, 1, 2100.0 + 59.0 / 365.0},  // a century, no leap day
        {2000, 3, 1, 2000.0 + 60.0 / 366.0},  // every fourth century leaps
        {1900, 12, 31, 1900.0 + 364.0 / 365.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(DecimalYear(c.year, c.month, c.day), c.decimal) << c.year << '-' << c.month << '-' << c.day;
    }
    // The window's own count stays as it was: a month and a day ahead.
    EXPECT_NEAR(ModelYear(2026, 12, 9), 2027.0247, 0.00005);
}

TEST(Uncertainty, ZonesChangeAtTheirBoundsAndTheDeclinationErrorGrowsAsHWeakens) {
    // 2000 and 6000 nT themselves belong to the stronger zone.
    const std::pair<double, std::string_view> zones[] = {
        {6000.0, "none"},
        {std::nextafter(6000.0, 0.0), "caution"},
        {2000.0, "caution"},
        {std::nextafter(2000.0, 0.0), "blackout"},
    };
    for (const auto& [horizontal, zone] : zones) {
        EXPECT_EQ(ZoneName(ZoneOf(horizontal)), zone) << horizontal;
    }
    // Where H is 5417 nT the weak-field term is 1 degree: sqrt(0.26^2 + 1).
    EXPECT_NEAR(DeclinationUncertainty(kWmm2025Errors, 5417.0), 1.0332473082471592, 1e-12);
    EXPECT_NEAR(DeclinationUncertainty(kWmm2025Errors, 20000.0), 0.37544603140797744, 1e-12);
}

}  // namespace
}  // namespace model

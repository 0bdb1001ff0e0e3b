// The decimal year of a calendar day, and how far a WMM2025 answer is trusted.
#include <gtest/gtest.h>

#include <cmath>

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

TEST(Uncertainty, DeclinationAndZonesByTheHorizontalField) {
    struct Case {
        double horizontal;   // nT
        double declination;  // degrees
        Zone zone;
    };
    const Case cases[] = {
        {20000.0, std::hypot(0.26, 5417.0 / 20000.0), Zone::None},
        {6000.0, std::hypot(0.26, 5417.0 / 6000.0), Zone::None},
        {std::nextafter(6000.0, 0.0), std::hypot(0.26, 5417.0 / 6000.0), Zone::Caution},
        {2000.0, std::hypot(0.26, 5417.0 / 2000.0), Zone::Caution},
        {std::nextafter(2000.0, 0.0), std::hypot(0.26, 5417.0 / 2000.0), Zone::Blackout},
        {1.0, std::hypot(0.26, 5417.0), Zone::Blackout},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(DeclinationUncertainty(kWmm2025Errors, c.horizontal), c.declination, 1e-9) << c.horizontal;
        EXPECT_EQ(ZoneOf(c.horizontal), c.zone) << c.horizontal;
    }
    EXPECT_EQ(ZoneName(Zone::Blackout), "blackout");
    EXPECT_EQ(ZoneName(Zone::Caution), "caution");
    EXPECT_EQ(ZoneName(Zone::None), "none");
}

}  // namespace
}  // namespace model

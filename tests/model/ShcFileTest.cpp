// The SHC reader: the IGRF-14 file as published and its pieces between epochs
// (files that are no whole model are refused in FieldModelTest).
#include <gtest/gtest.h>
#include <GeographicLib/Geocentric.hpp>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "FieldModel.h"
#include "MagneticModel.h"

namespace model {
namespace {

TEST(ShcFile, ReadsIgrf14AsOnePiecePerInterval) {
    const FieldModel& igrf = Igrf14();
    EXPECT_EQ(igrf.firstYear, 1900.0);
    EXPECT_EQ(igrf.lastYear, 2030.0);
    ASSERT_EQ(igrf.pieces.size(), 26U);
    // Degree 10 up to 1995, 13 once the interval reaches 2000.
    EXPECT_EQ(igrf.pieces[18].mainDegree, 10);
    EXPECT_EQ(igrf.pieces[19].mainDegree, 13);
    EXPECT_EQ(igrf.pieces[19].coefficients.size(), 13U * 16U / 2U);
    // g(1,0) in 2025 and its change toward the 2030 column, nT and nT a year.
    const FieldModel& last = igrf.pieces.back();
    EXPECT_EQ(last.epoch, 2025.0);
    EXPECT_EQ(last.coefficients[0].g, -29350.0);
    EXPECT_DOUBLE_EQ(last.coefficients[0].gdot, (-29287.0 + 29350.0) / 5.0);
    // h(1,1) of 1900, written after g(1,1).
    EXPECT_EQ(igrf.pieces[0].coefficients[1].h, 5922.0);

    struct Case {
        double year;
        double epoch;
    };
    for (const Case& c : {Case{1900.0, 1900.0}, Case{std::nextafter(1905.0, 0.0), 1900.0}, Case{1905.0, 1905.0},
                          Case{2029.99, 2025.0}, Case{2030.0, 2025.0}, Case{1850.0, 1900.0}, Case{2100.0, 2025.0}}) {
        EXPECT_EQ(PieceFor(igrf, c.year).epoch, c.epoch) << c.year;
    }
    EXPECT_EQ(&PieceFor(Wmm2025(), 2027.0), &Wmm2025());
    // The query names the piece that answered, a refused query too: across
    // 2025 the model of the date turns from IGRF-14 to WMM2025.
    const FieldModel& date = ModelForTheDate();
    struct Answer {
        double latitude, year;
        const FieldModel* piece;
        int status;
    };
    for (const Answer& a : {Answer{10.0, std::nextafter(2025.0, 0.0), &date.pieces[24], kStatusOk},
                            Answer{10.0, 2025.0, &date.pieces.back(), kStatusOk},
                            Answer{std::nan(""), 2026.0, &date.pieces.back(), kStatusNotFinite}}) {
        MagneticElements e{};
        const FieldModel* answering = nullptr;
        EXPECT_EQ(ComputeMagneticElements(date, a.latitude, 20.0, 0.0, a.year, e, &answering), a.status) << a.year;
        EXPECT_EQ(answering, a.piece) << a.year;
    }
    EXPECT_EQ(date.pieces[24].epoch, 2020.0);
    EXPECT_EQ(date.pieces.back().errors, &kWmm2025Errors);
}

// Between two epochs the coefficients, and so the components at a point, change
// linearly: midway the field is the mean of the fields at the two epochs (the
// later one from the next piece), which a wrong slope or epoch would miss.
TEST(ShcFile, MidwayBetweenEpochsTheFieldIsTheMeanOfTheirFields) {
    const auto field = [](double year) {
        MagneticElements e{};
        EXPECT_EQ(ComputeMagneticElements(Igrf14(), -33.9, 151.2, 100.0, year, e), kStatusOk) << year;
        return std::array{e.northComponent, e.eastComponent, e.verticalComponent};
    };
    for (double epoch = 1900.0; epoch < 2030.0; epoch += 5.0) {
        const auto first = field(epoch);
        const auto midway = field(epoch + 2.5);
        const auto last = field(epoch + 5.0);
        for (std::size_t i = 0; i < first.size(); ++i) {
            EXPECT_NEAR(midway[i], (first[i] + last[i]) / 2.0, 1e-6) << epoch << " component " << i;
        }
    }
}

// The check values published with IGRF-14's reference synthesis (IAGA V-MOD,
// doi:10.5281/zenodo.14218973) at geocentric positions, asked at the same
// points on WGS 84 (GeographicLib's conversion) and turned back into the
// geocentric frame by the angle psi between the two verticals: within 0.01 nT.
TEST(ShcFile, Igrf14GivesItsPublishedCheckValues) {
    struct Row {
        double year, colatitude, longitude, radiusKm, north, east, down;
    };
    const Row rows[] = {
        {1900, 175, -150, 6300, -5072.93, 10620.34, -67233.55}, {1915, 155, -120, 6350, 14692.62, 12387.97, -59640.81},
        {1930, 135, -90, 6400, 23925.47, 10358.94, -30640.98},  {1945, 115, -60, 6450, 23642.86, -200.29, -7607.92},
        {1960, 95, -30, 6500, 23647.0, -9302.27, -3610.73},     {1975, 75, 0, 6550, 30050.59, -3367.82, 6332.69},
        {1990, 55, 30, 6600, 25224.81, 1058.25, 30965.61},      {2005, 35, 60, 6650, 14718.37, 2842.99, 46050.88},
        {2010, 170, 0, 6371, 17529.48, -7143.78, -42722.46},    {2020, 15, 90, 6700, 3734.07, 1294.17, 50833.13},
        {2025, 56, -3, 6375, 28927.56, 261.98, 30910.08},       {2030, 45, -5, 6375, 22959.82, 224.8, 40764.14},
    };
    constexpr double kRadian = std::numbers::pi / 180.0;
    for (const Row& r : rows) {
        const double z = r.radiusKm * 1000.0 * std::cos(r.colatitude * kRadian);
        const double rho = r.radiusKm * 1000.0 * std::sin(r.colatitude * kRadian);
        double latitude = 0.0;
        double longitude = 0.0;
        double height = 0.0;
        GeographicLib::Geocentric::WGS84().Reverse(rho * std::cos(r.longitude * kRadian),
                                                   rho * std::sin(r.longitude * kRadian), z, latitude, longitude,
                                                   height);
        MagneticElements e{};
        ASSERT_EQ(ComputeMagneticElements(Igrf14(), latitude, longitude, height / 1000.0, r.year, e), kStatusOk);
        const double psi = (latitude - (90.0 - r.colatitude)) * kRadian;
        EXPECT_NEAR(e.northComponent * std::cos(psi) - e.verticalComponent * std::sin(psi), r.north, 0.01) << r.year;
        EXPECT_NEAR(e.eastComponent, r.east, 0.01) << r.year;
        EXPECT_NEAR(e.verticalComponent * std::cos(psi) + e.northComponent * std::sin(psi), r.down, 0.01) << r.year;
    }
}

}  // namespace
}  // namespace model

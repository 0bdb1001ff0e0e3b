// Prints the bits of the query's records and of the element sets for a fixed
// sequence of random queries of both built-in models, to compare builds at
// different optimisation levels.
#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>

#include "Engine.h"
#include "MagneticModel.h"

namespace {

void Print(double value) { std::printf(" %016" PRIx64, std::bit_cast<std::uint64_t>(value)); }

void Print(float value) { std::printf(" %08" PRIx32, std::bit_cast<std::uint32_t>(value)); }

}  // namespace

int main() {
    std::mt19937_64 generator(19950101);
    std::uniform_real_distribution<double> latitudes(-90.0, 90.0);
    std::uniform_real_distribution<double> longitudes(-360.0, 360.0);
    std::uniform_real_distribution<double> years(1990.0, 2010.0);
    for (int query = 0; query < 3000; ++query) {
        const double latitude = query % 100 == 0 ? 90.0 : latitudes(generator);
        model::MagneticElements r{};
        const int status = model::ComputeMagneticElements(latitude, longitudes(generator), years(generator), r);
        std::printf("%d %" PRId32 " %" PRId32, status, r.declinationDegrees, r.inclinationDegrees);
        for (double value :
             {r.declinationChange, r.inclinationChange, r.horizontalChange, r.northChange, r.eastChange,
              r.verticalChange, r.totalChange, r.declinationMinutes, r.inclinationMinutes, r.horizontalIntensity,
              r.northComponent, r.eastComponent, r.verticalComponent, r.totalIntensity}) {
            Print(value);
        }
        for (const model::ElementSetOf<float>& set :
             {model::modelState.dateElements, model::modelState.nextYearElements}) {
            for (float value : {set.D, set.I, set.H, set.X, set.Y, set.Z, set.F}) {
                Print(value);
            }
        }
        std::printf("\n");
    }
    // WMM2025 in double precision, heights 0 to 1000 km.
    std::uniform_real_distribution<double> heights(0.0, 1000.0);
    std::uniform_real_distribution<double> wmmYears(2024.0, 2031.0);
    for (int query = 0; query < 1000; ++query) {
        model::MagneticElements r{};
        const double latitude = query % 100 == 0 ? -90.0 : latitudes(generator);
        const int status = model::ComputeMagneticElements(model::Wmm2025(), latitude, longitudes(generator),
                                                          heights(generator), wmmYears(generator), r);
        std::printf("%d %" PRId32 " %" PRId32, status, r.declinationDegrees, r.inclinationDegrees);
        for (double value : {r.declinationChange, r.inclinationChange, r.totalChange, r.declinationMinutes,
                             r.inclinationMinutes, r.northComponent, r.eastComponent, r.verticalComponent}) {
            Print(value);
        }
        std::printf("\n");
    }
    return 0;
}

// Speed of the variation query over a fixed set of positions and dates: the
// 1995 field, WMM2025 and IGRF-14.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <random>

#include "model/MagneticModel.h"

namespace {

struct Query {
    double latitude;
    double longitude;
    double year;
};

// Positions over the map and dates within the model's years, fixed.
const std::array<Query, 256> kQueries = [] {
    std::array<Query, 256> queries{};
    std::mt19937_64 generator(1995);
    std::uniform_real_distribution<double> latitudes(-59.0, 80.0);
    std::uniform_real_distribution<double> longitudes(-180.0, 180.0);
    std::uniform_real_distribution<double> years(1995.0, 2000.0);
    for (Query& q : queries) {
        q = {latitudes(generator), longitudes(generator), years(generator)};
    }
    return queries;
}();

template <int (*Compute)(double, double, double, model::MagneticElements&)>
void BM_Query(benchmark::State& state) {
    std::size_t i = 0;
    model::MagneticElements result{};
    for (auto _ : state) {
        const Query& q = kQueries[i++ % kQueries.size()];
        benchmark::DoNotOptimize(Compute(q.latitude, q.longitude, q.year, result));
        benchmark::DoNotOptimize(result);
    }
}

// A double-precision model at the same positions at 0 to 100 km, each date
// moved into the model's years: WMM2025 (degree 12) 30 years on; IGRF-14
// (degree 13) into 2000 to 2025, so consecutive queries fall between different
// epochs.
template <const model::FieldModel& (*Model)(), double kFirstYear, double kYearScale>
void BM_ModelQuery(benchmark::State& state) {
    std::size_t i = 0;
    model::MagneticElements result{};
    const model::FieldModel& m = Model();
    for (auto _ : state) {
        const Query& q = kQueries[i++ % kQueries.size()];
        const double height = static_cast<double>(i % 3) * 50.0;
        const double year = kFirstYear + (q.year - 1995.0) * kYearScale;
        benchmark::DoNotOptimize(model::ComputeMagneticElements(m, q.latitude, q.longitude, height, year, result));
        benchmark::DoNotOptimize(result);
    }
}

}  // namespace

BENCHMARK(BM_Query<model::ComputeMagneticElements>)->Name("ComputeMagneticElements");
BENCHMARK(BM_ModelQuery<model::Wmm2025, 2025.0, 1.0>)->Name("Wmm2025Query");
BENCHMARK(BM_ModelQuery<model::Igrf14, 2000.0, 5.0>)->Name("Igrf14Query");

BENCHMARK_MAIN();

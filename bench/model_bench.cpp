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

// WMM2025 in double precision to degree 12, at 0 to 100 km, over its years.
void BM_Wmm2025Query(benchmark::State& state) {
    std::size_t i = 0;
    model::MagneticElements result{};
    const model::FieldModel& wmm = model::Wmm2025();
    for (auto _ : state) {
        const Query& q = kQueries[i++ % kQueries.size()];
        const double height = static_cast<double>(i % 3) * 50.0;
        benchmark::DoNotOptimize(
            model::ComputeMagneticElements(wmm, q.latitude, q.longitude, height, q.year + 30.0, result));
        benchmark::DoNotOptimize(result);
    }
}

// IGRF-14 in double precision, degree 13 from 1995 on: the same positions
// and heights, each date moved into 2000 to 2025, between two epochs.
void BM_Igrf14Query(benchmark::State& state) {
    std::size_t i = 0;
    model::MagneticElements result{};
    const model::FieldModel& igrf = model::Igrf14();
    for (auto _ : state) {
        const Query& q = kQueries[i++ % kQueries.size()];
        const double height = static_cast<double>(i % 3) * 50.0;
        const double year = 2000.0 + (q.year - 1995.0) * 5.0;
        benchmark::DoNotOptimize(model::ComputeMagneticElements(igrf, q.latitude, q.longitude, height, year, result));
        benchmark::DoNotOptimize(result);
    }
}

}  // namespace

BENCHMARK(BM_Query<model::ComputeMagneticElements>)->Name("ComputeMagneticElements");
BENCHMARK(BM_Wmm2025Query)->Name("Wmm2025Query");
BENCHMARK(BM_Igrf14Query)->Name("Igrf14Query");

BENCHMARK_MAIN();

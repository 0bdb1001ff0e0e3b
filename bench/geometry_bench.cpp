// The projection runs on every pointer move, the great circle on every click.
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_PixelToGeographic(benchmark::State& state) {
    double latitude = 0.0;
    double longitude = 0.0;
    std::string text;
    int x = 0;
    int y = 0;
    for (auto _ : state) {
        geometry::PixelToGeographic(geometry::kWorldMap, x, y, latitude, longitude, text);
        benchmark::DoNotOptimize(text.data());
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
        x = x == 634 ? 0 : x + 1;
        y = y == 378 ? 0 : y + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PixelToGeographic);

void BM_GreatCircleCourseDistance(benchmark::State& state) {
    double course = 0.0;
    double distance = 0.0;
    double lat2 = -59.0;
    for (auto _ : state) {
        geometry::GreatCircleCourseDistance(51.5, -0.1, lat2, -74.0, course, distance);
        benchmark::DoNotOptimize(course);
        benchmark::DoNotOptimize(distance);
        lat2 = lat2 > 80.0 ? -59.0 : lat2 + 0.37;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GreatCircleCourseDistance);

}  // namespace

BENCHMARK_MAIN();

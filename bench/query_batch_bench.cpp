// dexlin-query batch end to end: N generated field requests piped through the
// built binary, answers discarded; items/s is queries per second (goal: 200k/s).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Writes N field requests spread over the map and the model's five years.
std::string GenerateRequests(long count) {
    const std::string path = "/tmp/dexlin_query_bench_" + std::to_string(getpid()) + "_" + std::to_string(count);
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return {};
    std::mt19937 random(1997);
    std::uniform_real_distribution<double> latitude(-59.0, 80.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_real_distribution<double> year(1995.0, 2000.0);
    for (long i = 0; i < count; ++i)
        std::fprintf(file, "field %.3f %.3f %.2f\n", latitude(random), longitude(random), year(random));
    std::fclose(file);
    return path;
}

void BM_QueryBatchField(benchmark::State& state) {
    const std::string input = GenerateRequests(state.range(0));
    if (input.empty()) {
        state.SkipWithError("cannot write the requests");
        return;
    }
    const std::string command = std::string("'") + DEXLIN_QUERY_PATH + "' batch <'" + input + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("dexlin-query batch failed");
            break;
        }
    }
    std::remove(input.c_str());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QueryBatchField)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

// dexlin-query batch end to end: a million generated field requests from a file
// through the built binary to a file, on one thread and on all (0: the
// default), in text and JSON. items/s is queries per second of wall time;
// child_cpu_s is the CPU time the binary used per run and queries_per_cpu_s
// the rate per CPU second, which the machine's other load changes least.
// Each configuration runs once untimed (the input and the output file are then
// in the page cache, as in a steady run), then five times; the median counts.
// Goals: 1,000,000/s on two cores, 600,000/s on one, JSON within 1.5 times text.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

namespace {

// Writes N field requests spread over the map and the model's five years.
std::string WriteRequests(long count) {
    const std::string path = "/tmp/dexlin_query_bench_" + std::to_string(getpid()) + "_" + std::to_string(count);
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return {};
    std::mt19937 random(1997);
    std::uniform_real_distribution<double> latitude(-59.0, 80.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_real_distribution<double> year(1995.0, 2000.0);
    for (long i = 0; i < count; ++i)
        std::fprintf(file, "field %.3f %.3f %.2f\n", latitude(random), longitude(random), year(random));
    if (std::fclose(file) != 0) return {};
    return path;
}

// The requests file of each size, written once and removed when the program ends.
class RequestFiles {
public:
    RequestFiles() = default;
    RequestFiles(const RequestFiles&) = delete;
    RequestFiles& operator=(const RequestFiles&) = delete;
    ~RequestFiles() {
        for (const auto& [count, path] : paths_) std::remove(path.c_str());
    }
    const std::string& Of(long count) {
        std::string& path = paths_[count];
        if (path.empty()) path = WriteRequests(count);
        return path;
    }

private:
    std::map<long, std::string> paths_;
};

RequestFiles requestFiles;

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Arguments: requests, threads (0: the default, one per processor), JSON (0 or 1).
void BM_QueryBatchField(benchmark::State& state) {
    const long count = state.range(0);
    const std::string& input = requestFiles.Of(count);
    if (input.empty()) {
        state.SkipWithError("cannot write the requests");
        return;
    }
    const std::string output = input + ".out";
    std::string options = state.range(2) != 0 ? "--json " : "";
    if (state.range(1) > 0) options += "--threads " + std::to_string(state.range(1)) + " ";
    const std::string command =
        std::string("'") + DEXLIN_QUERY_PATH + "' " + options + "batch <'" + input + "' >'" + output + "'";
    if (std::system(command.c_str()) != 0) {  // untimed: the files into the page cache
        state.SkipWithError("dexlin-query batch failed");
        return;
    }
    const double cpuBefore = ChildCpuSeconds();
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("dexlin-query batch failed");
            break;
        }
    }
    const double cpu = (ChildCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
    std::remove(output.c_str());
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["child_cpu_s"] = cpu;
    state.counters["queries_per_cpu_s"] = static_cast<double>(count) / cpu;
}
BENCHMARK(BM_QueryBatchField)
    ->ArgNames({"requests", "threads", "json"})
    ->Args({1000000, 0, 0})
    ->Args({1000000, 1, 0})
    ->Args({1000000, 0, 1})
    ->Args({1000000, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

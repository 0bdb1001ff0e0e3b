// dexlin-query batch end to end: a million generated requests from a file
// through the built binary to a file, on one thread and on all (0: the
// default), in text, JSON and CSV: field requests for the present model's
// years as words and as CSV rows, and routes with and without a date. items/s is queries per second of wall time;
// child_cpu_s is the CPU time the binary used per run and queries_per_cpu_s
// the rate per CPU second, which the machine's other load changes least.
// Each configuration runs once untimed (the input and the output file are then
// in the page cache, as in a steady run), then five times; the median counts.
// Goals: field 1,000,000/s on two cores, 600,000/s on one, JSON within 1.5
// times text, CSV rows within 1.5 times field words; route 250,000/s on two.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <utility>

namespace {

// What the requests ask.
enum Kind : long { FieldWords, FieldRows, Route, DatedRoute };

// Writes N requests of a kind spread over the map and WMM2025's five years.
std::string WriteRequests(long count, long kind) {
    const std::string path = "/tmp/dexlin_query_bench_" + std::to_string(getpid()) + "_" + std::to_string(count) + "_" +
                             std::to_string(kind);
    FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) return {};
    std::mt19937 random(1997);
    std::uniform_real_distribution<double> latitude(-59.0, 80.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    std::uniform_real_distribution<double> year(2025.0, 2030.0);
    if (kind == FieldRows) std::fprintf(file, "lat,lon,date\n");
    for (long i = 0; i < count; ++i) {
        const double lat = latitude(random);
        const double lon = longitude(random);
        switch (kind) {
        case FieldWords: std::fprintf(file, "field %.3f %.3f %.2f\n", lat, lon, year(random)); break;
        case FieldRows: std::fprintf(file, "%.3f,%.3f,%.2f\n", lat, lon, year(random)); break;
        case Route:
            std::fprintf(file, "route %.3f %.3f %.3f %.3f\n", lat, lon, latitude(random), longitude(random));
            break;
        default:
            std::fprintf(file, "route %.3f %.3f %.3f %.3f %.2f\n", lat, lon, latitude(random), longitude(random),
                         year(random));
        }
    }
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
        for (const auto& [key, path] : paths_) std::remove(path.c_str());
    }
    const std::string& Of(long count, long kind) {
        std::string& path = paths_[{count, kind}];
        if (path.empty()) path = WriteRequests(count, kind);
        return path;
    }

private:
    std::map<std::pair<long, long>, std::string> paths_;
};

RequestFiles requestFiles;

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Arguments: requests, threads (0: the default, one per processor), format
// (0 text, 1 JSON, 2 CSV), kind.
void BM_QueryBatch(benchmark::State& state) {
    const long count = state.range(0);
    const std::string& input = requestFiles.Of(count, state.range(3));
    if (input.empty()) {
        state.SkipWithError("cannot write the requests");
        return;
    }
    const std::string output = input + ".out";
    std::string options = state.range(2) == 1 ? "--json " : state.range(2) == 2 ? "--csv " : "";
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
BENCHMARK(BM_QueryBatch)
    ->ArgNames({"requests", "threads", "format", "kind"})
    ->Args({1000000, 0, 0, FieldWords})
    ->Args({1000000, 1, 0, FieldWords})
    ->Args({1000000, 0, 1, FieldWords})
    ->Args({1000000, 0, 2, FieldWords})
    ->Args({1000000, 0, 2, FieldRows})
    ->Args({1000000, 0, 0, Route})
    ->Args({1000000, 0, 0, DatedRoute})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

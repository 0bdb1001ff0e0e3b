#include "QueryTool.h"

#include "Batch.h"
#include "NumberParser.h"
#include "OutputBuffer.h"
#include "QueryRunner.h"
#include "model/FieldModel.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;  // batch: one or more error lines; or the model gave no record
constexpr int kExitBadInput = 2;    // bad command line, or a bad request on the command line
constexpr int kExitIoError = 3;     // reading the requests or writing the answers failed

// The usage text, around the built-in models' lines from the model's list.
constexpr std::string_view kUsageCommands =
    "|FILE] [--threads N]\n"
    "                    COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  field LAT LON DATE [HEIGHT_KM]\n"
    "                              magnetic elements at a position for a date, at a\n"
    "                              height above the ellipsoid in km (default 0): the\n"
    "                              status, valid (the date and the height within the\n"
    "                              model's years and heights: -1 to 850 km), model\n"
    "                              (the one that answered: its key, or file), the\n"
    "                              sixteen fields of the record (angles in degrees\n"
    "                              and minutes, their changes in minutes a year,\n"
    "                              intensities in nT and nT a year), the signed\n"
    "                              declination in degrees, the variation text, the\n"
    "                              one-sigma uncertainties of WMM2025 answers\n"
    "                              (declination and inclination in degrees, the\n"
    "                              intensities in nT; none for other models) and\n"
    "                              zone: blackout where H < 2000 nT (no compass),\n"
    "                              caution below 6000 nT, else none\n"
    "  course LAT1 LON1 LAT2 LON2  initial great-circle course (degrees true) and\n"
    "                              distance (nautical miles), exact and as displayed\n"
    "  route LAT1 LON1 LAT2 LON2 [DATE]\n"
    "                              the great-circle course and distance as course\n"
    "                              gives them (60 nm a degree); on the WGS 84\n"
    "                              ellipsoid the geodesic's initial course and\n"
    "                              length and the rhumb line's course and length\n"
    "                              (degrees true, 0 to 360; nm of 1852 m); with\n"
    "                              a date also status, valid, model, the\n"
    "                              declination at the start (degrees, east positive)\n"
    "                              and the magnetic courses: geodesic and rhumb\n"
    "                              course minus that declination (0 to 360)\n"
    "  pixel X Y                   whether the map pixel is on the map; on the map its\n"
    "                              latitude, longitude and position text\n"
    "  batch                       one request per line on standard input, in the same\n"
    "                              words (\"field 51.5 0 1997\"); one answer line each,\n"
    "                              in order; a bad line gets an error line; blank\n"
    "                              lines and lines starting with # are copied as\n"
    "                              they are; a line whose first field is a number is\n"
    "                              a CSV row LAT,LON[,DATE[,HEIGHT_KM]] (commas or\n"
    "                              tabs; DATE empty or absent: now), answered as\n"
    "                              field; a first line of words is its header; with\n"
    "                              --csv the answer repeats the row's columns first\n"
    "\n"
    "Positions: decimal degrees, north and east positive (51.5, -0.1), or with a\n"
    "hemisphere letter (51.5N, 0.1W), or degrees and minutes (51d30'N, 51\u00B030'N,\n"
    "51:30:00N); latitudes within -90..90.\n"
    "Dates: a decimal year (1997.5), an ISO date (2026-12-09, counted as the models\n"
    "count: year + (day of the year - 1) / days in the year, 2026.93699) or now\n"
    "(today's local date, counted alike).\n"
    "\n"
    "Options:\n"
    "  --model M  the field model, its name in any case (default auto):\n";
constexpr std::string_view kUsageOptions =
    "               FILE      a coefficient file: the standard WMM layout, valid\n"
    "                         for 5 years from its epoch, or the SHC layout of the\n"
    "                         IGRF (./NAME for a file named like a model)\n"
    "             auto refuses a date outside 1900 to 2030; with another model a\n"
    "             single field request outside its years or heights warns on\n"
    "             stderr, and batch says how many were outside its years; a\n"
    "             request below -6000 km (inside the core) is refused\n"
    "  --json     one JSON object per answer\n"
    "  --csv      CSV (RFC 4180, CRLF line ends): a header row of the items' names\n"
    "             before the first answer and wherever the kind of answer\n"
    "             changes, then one row per answer; numbers as in JSON, an empty\n"
    "             field where JSON has null; errors are rows of error and line\n"
    "  --raw      texts keep the display's degree byte 0xB0 instead of UTF-8\n"
    "             (text output only; JSON is always UTF-8)\n"
    "  --threads N\n"
    "             batch: answer on N threads, 1 to 64 (default: one per\n"
    "             processor; 1 answers on the calling thread)\n"
    "  --help     show this help\n"
    "  --version  show the version\n"
    "\n"
    "Numbers are printed so that they read back as the same double.\n"
    "Exit status: 0 answered; 1 batch with error lines, or the model gave no record;\n"
    "2 bad command line, request or model file; 3 read or write error.\n";

std::string_view Usage() {
    static const std::string usage = "Usage: dexlin-query [--json|--csv] [--raw] [--model " + model::BuiltInKeys("|") +
                                     std::string(kUsageCommands) + model::BuiltInModelLines("               ") +
                                     std::string(kUsageOptions);
    return usage;
}

constexpr std::string_view kVersionLine = "dexlin-query " DEXLIN_VERSION "\n";

void PrintError(std::FILE* err, std::string_view message) {
    // A message that cannot be written has nowhere else to go.
    static_cast<void>(std::fprintf(err, "dexlin-query: %.*s\n", static_cast<int>(message.size()), message.data()));
}

// Writes the whole text and hands it over; false when that fails (a full disk, a closed pipe).
bool WriteAll(std::FILE* output, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), output) == text.size() && std::fflush(output) == 0;
}

// A year as short as it reads back (2025, 2027.5), in any locale.
void AppendYear(std::string& text, double year) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, year);
    text.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

// N of --threads: a whole number from 1 to kMaxThreads.
bool ParseThreadCount(std::string_view word, int& threads, std::string& message) {
    const query::ParseError error = query::ParseInteger(word, threads);
    if (error == query::ParseError::None && threads >= 1 && threads <= query::kMaxThreads) return true;
    message = "--threads: N ";
    query::AppendQuoted(message, word);
    message += error == query::ParseError::NotANumber ? " is not an integer" : " is out of range";
    message += " (expected 1 to " + std::to_string(query::kMaxThreads) + ")";
    return false;
}

}  // namespace

namespace query {

int RunQueryTool(std::span<const std::string_view> args, int input, std::FILE* output, std::FILE* err,
                 DateSource today) {
    QuerySettings settings;
    int threads = 0;  // not given: one per processor
    settings.today = today;
    std::vector<std::string_view> words;
    model::FieldModel loaded;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            const std::string_view text = arg == "--version" ? kVersionLine : Usage();
            if (!WriteAll(output, text)) {
                PrintError(err, "cannot write the answer");
                return kExitIoError;
            }
            return kExitOk;
        }
        if (arg == "--model" || arg.starts_with("--model=")) {
            if (arg == "--model=" || (arg == "--model" && (i + 1 == args.size() || args[i + 1].empty()))) {
                PrintError(
                    err, "--model needs a value: " + model::BuiltInKeys(", ") + " or a coefficient file (try --help)");
                return kExitBadInput;
            }
            const std::string_view value = arg == "--model" ? args[++i] : arg.substr(8);
            std::string error;
            settings.fieldModel = model::LoadFieldModel(value, loaded, error);
            if (settings.fieldModel == nullptr) {
                PrintError(err, error);
                return kExitBadInput;
            }
        } else if (arg == "--json") {
            settings.format = Format::Json;
        } else if (arg == "--csv") {
            settings.format = Format::Csv;
        } else if (arg == "--raw") {
            settings.raw = true;
        } else if (arg == "--threads" || arg.starts_with("--threads=")) {
            const bool joined = arg != "--threads";
            if (!joined && i + 1 == args.size()) {
                PrintError(err, "--threads: N is missing (try --help)");
                return kExitBadInput;
            }
            const std::string_view value = joined ? arg.substr(arg.find('=') + 1) : args[++i];
            std::string message;
            if (!ParseThreadCount(value, threads, message)) {
                PrintError(err, message);
                return kExitBadInput;
            }
        } else if (arg.starts_with("--")) {  // no number starts with two dashes
            std::string message = "unknown option ";
            AppendQuoted(message, arg);
            PrintError(err, message + " (try --help)");
            return kExitBadInput;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        PrintError(err, "no command given: expected field, course, route, pixel or batch (try --help)");
        return kExitBadInput;
    }

    if (words[0] == "batch") {
        if (words.size() > 1) {
            std::string message = "batch: extra argument ";
            AppendQuoted(message, words[1]);
            PrintError(err, message + " (the requests come on standard input)");
            return kExitBadInput;
        }
        std::atomic<long long> outsideYears{0};
        settings.outsideYears = &outsideYears;
        const BatchResult result = RunBatch(input, output, settings, threads > 0 ? threads : DefaultThreadCount());
        if (const long long outside = outsideYears.load(); outside > 0) {
            const model::FieldModel& m = *settings.fieldModel;
            std::string message = "warning: " + std::to_string(outside);
            message += outside == 1 ? " request outside " : " requests outside ";
            message += m.key.empty() ? "the model file" : m.key;
            message += "'s years ";
            AppendYear(message, m.firstYear);
            message += " to ";
            AppendYear(message, m.lastYear);
            PrintError(err, message);
        }
        switch (result) {
        case BatchResult::AllAnswered: return kExitOk;
        case BatchResult::SomeFailed: return kExitSomeFailed;
        case BatchResult::ReadFailed:
            PrintError(err, "batch: cannot read the requests from standard input");
            return kExitIoError;
        case BatchResult::WriteFailed: PrintError(err, "batch: cannot write the answers"); return kExitIoError;
        }
        return kExitIoError;
    }

    OutputBuffer out(output);
    QueryRunner runner(out, settings);
    const Outcome outcome = runner.Run(words, false);
    if (outcome == Outcome::BadRequest) {
        PrintError(err, runner.Error());
        return kExitBadInput;
    }
    if (!out.Flush()) {
        PrintError(err, "cannot write the answer");
        return kExitIoError;
    }
    // After the answer, so that a failed write leaves its one line alone.
    const std::string warnings = runner.Warning();
    for (std::size_t at = 0; at < warnings.size();) {  // one message a line
        const std::size_t end = std::min(warnings.find('\n', at), warnings.size());
        PrintError(err, std::string_view(warnings).substr(at, end - at));
        at = end + 1;
    }
    return outcome == Outcome::Answered ? kExitOk : kExitSomeFailed;
}

}  // namespace query

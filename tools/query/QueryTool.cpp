#include "QueryTool.h"

#include "OutputBuffer.h"
#include "QueryRunner.h"
#include "model/FieldModel.h"

#include <locale.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;  // batch: one or more error lines; or the model gave no record
constexpr int kExitBadInput = 2;    // bad command line, or a bad request on the command line
constexpr int kExitIoError = 3;     // reading the requests or writing the answers failed

// A request has at most five words; one more shows that there are too many.
constexpr std::size_t kMaxWords = 6;
constexpr std::size_t kReadChunk = 1 << 20;
// No request comes near this; a longer line is refused without being kept in memory.
constexpr std::size_t kMaxLine = 1 << 16;

constexpr std::string_view kUsage =
    "Usage: dexlin-query [--json] [--raw] [--model igrf1995|wmm2025|FILE] COMMAND ARGUMENTS\n"
    "\n"
    "Commands:\n"
    "  field LAT LON DATE [HEIGHT_KM]\n"
    "                              magnetic elements at a position for a date, at a\n"
    "                              height above the ellipsoid (default 0): the status,\n"
    "                              valid (the date within the model's years), the\n"
    "                              sixteen fields of the record, the signed\n"
    "                              declination in degrees and the variation text\n"
    "  course LAT1 LON1 LAT2 LON2  initial great-circle course (degrees true) and\n"
    "                              distance (nautical miles), exact and as displayed\n"
    "  pixel X Y                   whether the map pixel is on the map; on the map its\n"
    "                              latitude, longitude and position text\n"
    "  batch                       one request per line on standard input, in the same\n"
    "                              words (\"field 51.5 0 1997\"); one answer line each,\n"
    "                              in order; a bad line gets an error line\n"
    "\n"
    "Positions: decimal degrees, north and east positive (51.5, -0.1), or with a\n"
    "hemisphere letter (51.5N, 0.1W), or degrees and minutes (51d30'N, 51\u00B030'N,\n"
    "51:30:00N); latitudes within -90..90.\n"
    "Dates: a decimal year (1997.5), an ISO date (2026-12-09, counted as the window\n"
    "does: year + month/12 + day/365) or now (today's local date, counted alike).\n"
    "\n"
    "Options:\n"
    "  --model M  the field model: igrf1995 (the built-in 1995.0 field, 1995 to\n"
    "             2000, the default), wmm2025 (2025 to 2030) or a coefficient file\n"
    "             in the standard WMM layout (valid 5 years from its epoch); a single\n"
    "             field request outside the model's years warns on stderr\n"
    "  --json     one JSON object per answer\n"
    "  --raw      texts keep the display's degree byte 0xB0 instead of UTF-8\n"
    "             (text output only; JSON is always UTF-8)\n"
    "  --help     show this help\n"
    "  --version  show the version\n"
    "\n"
    "Numbers are printed so that they read back as the same double.\n"
    "Exit status: 0 answered; 1 batch with error lines, or the model gave no record;\n"
    "2 bad command line, request or model file; 3 read or write error.\n";

constexpr std::string_view kVersionLine = "dexlin-query " DEXLIN_VERSION "\n";

void PrintError(std::FILE* err, std::string_view message) {
    // A message that cannot be written has nowhere else to go.
    static_cast<void>(std::fprintf(err, "dexlin-query: %.*s\n", static_cast<int>(message.size()), message.data()));
}

// Writes the whole text and hands it over; false when that fails (a full disk, a closed pipe).
bool WriteAll(std::FILE* output, std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), output) == text.size() && std::fflush(output) == 0;
}

// Splits a line into words at blanks and tabs; stops after kMaxWords words.
std::size_t SplitWords(std::string_view line, std::array<std::string_view, kMaxWords>& words) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size() && count < kMaxWords) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words[count++] = line.substr(start, i - start);
    }
    return count;
}

// The "C" locale for this thread while the tool runs: the display texts are
// formatted by snprintf in the cores, and every number the tool prints has a
// decimal point whatever locale a host program has set.
class ClassicLocale {
public:
    ClassicLocale() : classic_(newlocale(LC_ALL_MASK, "C", nullptr)) {
        if (classic_ != nullptr) previous_ = uselocale(classic_);
    }
    ClassicLocale(const ClassicLocale&) = delete;
    ClassicLocale& operator=(const ClassicLocale&) = delete;
    ~ClassicLocale() {
        if (classic_ == nullptr) return;
        uselocale(previous_);
        freelocale(classic_);
    }

private:
    locale_t classic_;
    locale_t previous_ = nullptr;
};

class BatchRun {
public:
    BatchRun(query::OutputBuffer& out, const query::QuerySettings& settings)
        : out_(out), runner_(out, settings), json_(settings.json) {}

    void Line(std::string_view line) {
        ++line_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CRLF input
        std::array<std::string_view, kMaxWords> words;
        const std::size_t count = SplitWords(line, words);
        const query::Outcome outcome = runner_.Run(std::span(words.data(), count), true);
        if (outcome == query::Outcome::Answered) return;
        anyFailed_ = true;
        if (outcome == query::Outcome::BadRequest) ErrorLine(runner_.Error());
    }

    void TooLong() {
        ++line_;
        anyFailed_ = true;
        ErrorLine("request longer than " + std::to_string(kMaxLine) + " bytes");
    }

    bool AnyFailed() const { return anyFailed_; }

private:
    void ErrorLine(std::string_view message) {
        if (json_) {
            out_.Append("{\"error\":\"");
            query::AppendJsonEscaped(out_, message);
            out_.Append("\",\"line\":");
            out_.AppendInteger(line_);
            out_.Append("}\n");
        } else {
            out_.Append("error: line ");
            out_.AppendInteger(line_);
            out_.Append(": ");
            out_.Append(message);
            out_.Append('\n');
        }
    }

    query::OutputBuffer& out_;
    query::QueryRunner runner_;
    bool json_;
    bool anyFailed_ = false;
    long long line_ = 0;
};

// Reads the requests in large chunks and answers each complete line.
int RunBatch(int input, query::OutputBuffer& out, std::FILE* err, const query::QuerySettings& settings) {
    static_assert(kMaxLine < kReadChunk, "a kept partial line must leave room to read");
    BatchRun run(out, settings);
    std::vector<char> buffer(kReadChunk);
    std::size_t have = 0;     // bytes of an unfinished line at the buffer's start
    bool discarding = false;  // inside a line longer than kMaxLine
    for (;;) {
        const ssize_t n = read(input, buffer.data() + have, buffer.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            out.Flush();
            PrintError(err, "batch: cannot read the requests from standard input");
            return kExitIoError;
        }
        if (n == 0) break;
        const auto got = static_cast<std::size_t>(n);
        const char* base = buffer.data();
        const char* end = base + have + got;
        const char* lineStart = base;
        for (const char* nl = static_cast<const char*>(std::memchr(base + have, '\n', got)); nl != nullptr;
             nl = static_cast<const char*>(std::memchr(nl + 1, '\n', static_cast<std::size_t>(end - nl - 1)))) {
            if (discarding || static_cast<std::size_t>(nl - lineStart) > kMaxLine) {
                run.TooLong();
                discarding = false;
            } else {
                run.Line(std::string_view(lineStart, static_cast<std::size_t>(nl - lineStart)));
            }
            lineStart = nl + 1;
        }
        have = static_cast<std::size_t>(end - lineStart);
        if (discarding || have > kMaxLine) {
            discarding = true;
            have = 0;
        } else {
            std::memmove(buffer.data(), lineStart, have);
        }
        // Input waits on the writer: hand over the answers so far, so that a
        // program that writes one request and reads its answer goes on.
        if (got < kReadChunk / 2 && !out.Flush()) break;
    }
    if (discarding) {
        run.TooLong();
    } else if (have > 0) {
        run.Line(std::string_view(buffer.data(), have));  // last line without a newline
    }
    if (!out.Flush()) {
        PrintError(err, "batch: cannot write the answers");
        return kExitIoError;
    }
    return run.AnyFailed() ? kExitSomeFailed : kExitOk;
}

// A coefficient file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxModelFile = 1 << 20;

// The model of --model: a built-in one's key, else a coefficient file read
// into `loaded`. nullptr after a message on `err`.
const model::FieldModel* SelectModel(std::string_view value, model::FieldModel& loaded, std::FILE* err) {
    if (const model::FieldModel* builtIn = model::FindBuiltInModel(value)) return builtIn;
    std::string name;
    for (const char c : value) name += (c >= 0 && c < 0x20) || c == 0x7F ? '?' : c;
    std::string text;
    std::FILE* file = std::fopen(std::string(value).c_str(), "rb");
    if (file != nullptr) {
        char buffer[4096];
        for (std::size_t n; text.size() <= kMaxModelFile && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            text.append(buffer, n);
        const bool failed = std::ferror(file) != 0;  // a directory opens, then fails to read
        static_cast<void>(std::fclose(file));        // read only: nothing is lost on close
        if (failed) file = nullptr;
    }
    if (file == nullptr) {
        PrintError(err, name + ": cannot read the model file (--model takes igrf1995, wmm2025 or a file)");
        return nullptr;
    }
    if (text.size() > kMaxModelFile) {
        PrintError(err, name + ": larger than a coefficient file can be");
        return nullptr;
    }
    std::string error;
    if (!model::ReadCoefficientFile(text, loaded, error)) {
        PrintError(err, name + ": " + error);
        return nullptr;
    }
    return &loaded;
}

}  // namespace

namespace query {

int RunQueryTool(std::span<const std::string_view> args, int input, std::FILE* output, std::FILE* err,
                 DateSource today) {
    const ClassicLocale classic;
    QuerySettings settings;
    settings.today = today;
    std::vector<std::string_view> words;
    model::FieldModel loaded;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "--version") {
            const std::string_view text = arg == "--version" ? kVersionLine : kUsage;
            if (!WriteAll(output, text)) {
                PrintError(err, "cannot write the answer");
                return kExitIoError;
            }
            return kExitOk;
        }
        if (arg == "--model" || arg.starts_with("--model=")) {
            if (arg == "--model=" || (arg == "--model" && i + 1 == args.size())) {
                PrintError(err, "--model needs a value: igrf1995, wmm2025 or a coefficient file (try --help)");
                return kExitBadInput;
            }
            const std::string_view value = arg == "--model" ? args[++i] : arg.substr(8);
            settings.fieldModel = SelectModel(value, loaded, err);
            if (settings.fieldModel == nullptr) return kExitBadInput;
        } else if (arg == "--json") {
            settings.json = true;
        } else if (arg == "--raw") {
            settings.raw = true;
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
        PrintError(err, "no command given: expected field, course, pixel or batch (try --help)");
        return kExitBadInput;
    }

    OutputBuffer out(output);
    if (words[0] == "batch") {
        if (words.size() > 1) {
            std::string message = "batch: extra argument ";
            AppendQuoted(message, words[1]);
            PrintError(err, message + " (the requests come on standard input)");
            return kExitBadInput;
        }
        return RunBatch(input, out, err, settings);
    }

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
    if (const std::string warning = runner.Warning(); !warning.empty()) PrintError(err, warning);
    return outcome == Outcome::Answered ? kExitOk : kExitSomeFailed;
}

}  // namespace query

// dexlin-query's command line and batch requests with any bytes. The first
// byte picks the way in: a command line (the rest split at NUL bytes into
// arguments, as argv would hold them) or a batch (the rest as standard input,
// with --json, --raw and a thread count from its bits). Whatever comes in, the
// tool answers with a known exit status, one output line per batch line (blank
// and comment lines copied, the others without control bytes but the line
// ends, or the first line copied as a CSV header; a byte order mark before it
// is dropped), the same on any number of
// threads, and error messages (or a single request's warning) of one line each.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "QueryTool.h"
#include "ToolRun.h"

namespace {

using fuzz::Capture;
using fuzz::InputFile;
using fuzz::IsCopied;

std::size_t CountLines(std::string_view text) {
    std::size_t lines = 0;
    for (const char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

void CheckLines(std::string_view text) {
    FUZZ_CHECK(text.empty() || text.back() == '\n');
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        FUZZ_CHECK(byte >= 0x20 || c == '\n');
        FUZZ_CHECK(byte != 0x7F);
    }
}

void CheckMessages(std::string_view err) {
    CheckLines(err);
    std::size_t start = 0;
    while (start < err.size()) {
        FUZZ_CHECK(err.substr(start).starts_with("dexlin-query: "));
        start = err.find('\n', start) + 1;
    }
}

std::string RunBatch(std::uint8_t flags, std::string_view requests, std::string_view threads) {
    std::vector<std::string_view> args;
    if (flags & 2) args.emplace_back("--json");
    if (flags & 4) args.emplace_back("--raw");
    args.emplace_back("--threads");
    args.emplace_back(threads);
    args.emplace_back("batch");
    Capture out;
    Capture err;
    const int status = query::RunQueryTool(args, InputFile(requests), out.Stream(), err.Stream());
    FUZZ_CHECK(status == 0 || status == 1);
    FUZZ_CHECK(err.Text().empty());
    return std::string(out.Text());
}

void Batch(std::uint8_t flags, std::string_view requests) {
    const std::string answers = RunBatch(flags, requests, "1");
    FUZZ_CHECK(answers.empty() || answers.back() == '\n');
    // One answer or error line for each request line, the last one with or
    // without its newline; blank and comment lines as they came.
    const std::size_t requestLines = CountLines(requests) + (requests.empty() || requests.back() == '\n' ? 0 : 1);
    FUZZ_CHECK(CountLines(answers) == requestLines);
    std::size_t request = 0;
    std::size_t start = 0;
    while (start < answers.size()) {
        const std::size_t end = answers.find('\n', start);
        const std::string_view answer(answers.data() + start, end - start);
        const std::size_t requestEnd = std::min(requests.find('\n', request), requests.size());
        std::string_view line = requests.substr(request, requestEnd - request);
        if (request == 0 && line.starts_with(fuzz::kUtf8Bom)) line.remove_prefix(fuzz::kUtf8Bom.size());
        // The first line may be the header of CSV rows: copied in these formats.
        if (IsCopied(line) || (request == 0 && answer == line && line.find_first_of(",\t") != std::string_view::npos)) {
            FUZZ_CHECK(answer == line);
        } else {
            CheckLines(std::string_view(answers.data() + start, end - start + 1));
            if (flags & 2) FUZZ_CHECK(answer.front() == '{' && answer.back() == '}');
        }
        start = end + 1;
        request = requestEnd + 1;
    }
    // Several threads write what one writes.
    if (flags & 8) FUZZ_CHECK(RunBatch(flags, requests, flags & 16 ? "5" : "2") == answers);
}

void CommandLine(std::string_view bytes) {
    std::vector<std::string_view> args;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\0', start);
        if (end == std::string_view::npos) end = bytes.size();
        args.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    Capture out;
    Capture err;
    const int status = query::RunQueryTool(args, InputFile({}), out.Stream(), err.Stream());
    const std::string_view answer = out.Text();
    const std::string_view message = err.Text();
    FUZZ_CHECK(status == 0 || status == 1 || status == 2);
    CheckMessages(message);
    if (status == 2) {
        FUZZ_CHECK(CountLines(message) == 1);
    } else {
        // At most the warnings of a field request outside the model's heights and years, one line each.
        FUZZ_CHECK(message.empty() || (CountLines(message) <= 2 && message.starts_with("dexlin-query: warning: ")));
        const std::size_t second = message.find('\n') + 1;
        FUZZ_CHECK(second >= message.size() || message.substr(second).starts_with("dexlin-query: warning: "));
        if (!answer.empty()) FUZZ_CHECK(answer.back() == '\n');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t flags = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (flags & 1) {
        CommandLine(rest);
    } else {
        Batch(flags, rest);
    }
    return 0;
}

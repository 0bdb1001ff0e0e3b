// dexlin-query --csv batch with any bytes as its requests: CSV rows of points,
// their header, commands, comments. Whatever comes in, it exits 0 or 1 with
// nothing on stderr; each request line gets one CSV record in place (a header
// record before it where the kind of answer changes), blank and comment lines
// are copied, every record reads as RFC 4180 with as many fields as the
// header in force, and two threads write what one writes.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "QueryTool.h"
#include "ToolRun.h"

namespace {

std::string RunCsvBatch(std::string_view requests, std::string_view threads) {
    const std::vector<std::string_view> args{"--csv", "--threads", threads, "batch"};
    fuzz::Capture out;
    fuzz::Capture err;
    const int status = query::RunQueryTool(args, fuzz::InputFile(requests), out.Stream(), err.Stream());
    FUZZ_CHECK(status == 0 || status == 1);
    FUZZ_CHECK(err.Text().empty());
    return std::string(out.Text());
}

// The number of fields of an RFC 4180 record (CR already taken off); 0 if it
// is no record: an unbalanced quote, a quote inside an unquoted field, text
// after a closing quote, or a bare CR or LF.
std::size_t CountFields(std::string_view record) {
    enum { Start, Bare, Quoted, Closed } state = Start;
    std::size_t fields = 1;
    for (const char c : record) {
        if (state == Quoted) {
            if (c == '"') state = Closed;  // or the first of a doubled quote
        } else if (c == ',') {
            ++fields;
            state = Start;
        } else if (c == '"' && state != Bare) {
            state = Quoted;  // opening, or the second of a doubled quote
        } else if (c == '"' || c == '\r' || c == '\n' || state == Closed) {
            return 0;
        } else {
            state = Bare;
        }
    }
    return state == Quoted ? 0 : fields;
}

// An answer's record: it ends in CR, and neither is blank nor starts with '#'
// (a copied line may end in CR too).
bool IsRecord(std::string_view line) { return line.ends_with('\r') && !fuzz::IsCopied(line); }

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view requests(reinterpret_cast<const char*>(data), size);
    const std::string answers = RunCsvBatch(requests, "1");
    FUZZ_CHECK(answers.empty() || answers.back() == '\n');
    std::vector<std::string_view> in = Lines(requests);
    if (!in.empty() && in[0].starts_with(fuzz::kUtf8Bom)) in[0].remove_prefix(fuzz::kUtf8Bom.size());  // dropped
    const std::vector<std::string_view> out = Lines(answers);
    // Copied lines in place; between them, for n requests, n to 2n records.
    std::size_t at = 0;
    std::size_t headerFields = 0;  // the header in force: none yet
    std::size_t i = 0;
    while (i <= in.size()) {
        std::size_t requestLines = 0;
        for (; i < in.size() && !fuzz::IsCopied(in[i]); ++i) ++requestLines;
        std::size_t records = 0;
        for (; at < out.size() && IsRecord(out[at]); ++at, ++records) {
            const std::size_t fields = CountFields(out[at].substr(0, out[at].size() - 1));
            FUZZ_CHECK(fields > 0);
            if (fields == headerFields) continue;
            // A header of another kind: the answer it names follows.
            FUZZ_CHECK(at + 1 < out.size() && IsRecord(out[at + 1]));
            FUZZ_CHECK(CountFields(out[at + 1].substr(0, out[at + 1].size() - 1)) == fields);
            headerFields = fields;
            ++at;
            ++records;
        }
        // The input's first line may be the header of its CSV rows, answered by no record of its own.
        FUZZ_CHECK(records + 1 >= requestLines && records <= 2 * requestLines);
        if (i == in.size()) break;
        FUZZ_CHECK(at < out.size() && out[at] == in[i]);  // a copied line
        ++at;
        ++i;
    }
    FUZZ_CHECK(at == out.size());
    FUZZ_CHECK(RunCsvBatch(requests, "2") == answers);
    return 0;
}

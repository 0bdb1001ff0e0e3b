// Answers one request ("field LAT LON DATE [HEIGHT_KM]", "course LAT1 LON1
// LAT2 LON2", "route LAT1 LON1 LAT2 LON2 [DATE]", "pixel X Y") from the model
// and the geometry, as text, JSON or CSV.
#pragma once

#include "OutputBuffer.h"
#include "PositionParser.h"
#include "model/FieldModel.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <span>
#include <string>
#include <string_view>

namespace query {

enum class Outcome {
    Answered,     // the answer is on the output
    ModelFailed,  // the answer (status only) is on the output; the model gave no record
    BadRequest,   // nothing written; Error() says what was wrong
};

// What an argument of a request holds, and its name in messages.
enum class ArgumentKind { Latitude, Longitude, Date, Real };
struct Argument {
    std::string_view name;
    ArgumentKind kind;
};

// How answers are written: "name=value" items, one JSON object per answer, or
// CSV rows (RFC 4180) under a header row of the items' names. A new output
// format is one more case here and in QueryRunner's item writers.
enum class Format { Text, Json, Csv };

// CSV records end in CRLF (RFC 4180).
inline constexpr std::string_view kCsvLineEnd = "\r\n";

// The CSV header rows a runner has written: the first one (where it starts in
// the output, npos if none) and the last, so that a batch that joins the
// answers of several runners writes a header only where the kind of answer changes.
struct CsvHeaders {
    std::string first;
    std::size_t firstAt = std::string::npos;
    std::string last;
};

// How requests are answered.
struct QuerySettings {
    Format format = Format::Text;
    bool raw = false;               // texts keep the display's 0xB0 degree byte instead of UTF-8 (text output only)
    DateSource today = LocalToday;  // the day that "now" means
    const model::FieldModel* fieldModel = &model::ModelForTheDate();  // what field requests ask
    // When set, counts the field requests answered outside their model's years.
    std::atomic<long long>* outsideYears = nullptr;
};

// An item's name and what its value follows in each format, padded so that
// each is copied in one fixed-size move: "name=" in text, "\"name\":" in JSON,
// nothing in a CSV row (the name goes to the header row). It is a template
// argument formed from a literal (`Item<"status">(value)`), hence not explicit:
// one copy for the whole program, where a label built at each call would be
// read back before its own stores had settled. A name too long for the room
// does not compile.
struct ItemLabel {
    static constexpr std::size_t kRoom = 32;
    // cppcheck-suppress noExplicitConstructor
    consteval ItemLabel(const char* name) : size(std::char_traits<char>::length(name)) {
        if (size + 3 > kRoom) throw "an item name must be at least 3 bytes shorter than ItemLabel::kRoom";
        std::copy_n(name, size, bytes.begin());
        SetOpening(Format::Text, "", "=");
        SetOpening(Format::Json, "\"", "\":");
    }
    std::array<char, kRoom> bytes{};
    std::size_t size;
    std::array<std::array<char, kRoom>, 3> openings{};  // by Format; none in CSV
    std::array<std::size_t, 3> openingSizes{};

private:
    consteval void SetOpening(Format format, std::string_view before, std::string_view after) {
        auto& opening = openings[static_cast<std::size_t>(format)];
        auto at = std::copy(before.begin(), before.end(), opening.begin());
        at = std::copy_n(bytes.begin(), size, at);
        std::copy(after.begin(), after.end(), at);
        openingSizes[static_cast<std::size_t>(format)] = before.size() + size + after.size();
    }
};

class QueryRunner {
public:
    QueryRunner(OutputBuffer& out, const QuerySettings& settings)
        : sink_(out),
          out_(settings.format == Format::Csv ? &row_ : &out),
          format_(settings.format),
          raw_(settings.raw),
          today_(settings.today),
          model_(*settings.fieldModel),
          outsideYears_(settings.outsideYears) {}

    // words[0] is the command. oneLine puts a text answer on one line
    // (items separated by blanks) instead of one item per line.
    Outcome Run(std::span<const std::string_view> words, bool oneLine);

    // What was wrong with the last BadRequest, e.g. `field: LAT: "x" is not a number`.
    const std::string& Error() const { return error_; }

    // After a field request for a date or a height outside the model's, what
    // to tell the user beside the answer ("warning: the date 2031.5 lies outside
    // the years of ..."); else empty. Built only when asked, so batch pays nothing.
    std::string Warning() const;

    // An error line as an answer of its own: `error` and `line` items (the
    // text form is the batch's own "error: line N: ...", not this).
    void ErrorAnswer(std::string_view message, long long line);

    // CSV: columns written before each answer's own (a CSV input row), under
    // `names` (their part of the header row, CsvRow of the names), until set again.
    void SetLeadingColumns(std::string_view names, std::span<const std::string> fields);
    const CsvHeaders& Headers() const { return headers_; }

private:
    Outcome RunField(std::span<const std::string_view> args);
    Outcome RunCourse(std::span<const std::string_view> args);
    Outcome RunRoute(std::span<const std::string_view> args);
    Outcome RunPixel(std::span<const std::string_view> args);

    // Reads the words present (so a bad one is named even when others are
    // missing), then checks their number: the first `required` must be there.
    bool ParseArguments(std::string_view command, std::span<const Argument> names, std::size_t required,
                        std::span<const std::string_view> args, double* values);
    // At least `required` words (else `firstMissing` is missing), at most `most`.
    bool CheckCount(std::string_view command, std::span<const std::string_view> args, std::size_t required,
                    std::size_t most, std::string_view firstMissing);
    // False (the error set) for a field argument beyond the model's working precision.
    bool FitsTheModel(std::string_view command, const Argument& name, std::string_view word, double value);
    // Takes a request's date and height for the field: false (the error set)
    // where the model chosen for the date has none for that year; else notes
    // whether they lie outside the model's, for valid and Warning().
    bool TakeYear(std::string_view command, std::string_view dateWord, double year, double heightKm);
    void SetError(std::string_view command, std::string_view name, std::string_view word, std::string_view what);

    void BeginAnswer();
    // Writes the separator and the item's opening in the reserved room; returns where its value goes.
    char* BeginItem(char* at, const ItemLabel& label);
    template <ItemLabel label>
    void Item(double value);
    template <ItemLabel label>
    void Item(long long value);
    template <ItemLabel label>
    void Item(bool value);
    template <ItemLabel label>
    void TextItem(std::string_view displayBytes);
    // A word of letters and digits: bare in text, a string in JSON.
    template <ItemLabel label>
    void WordItem(std::string_view word);
    // A number, or nothing in text and null in JSON where the model has none.
    template <ItemLabel label>
    void OptionalItem(const double* value);
    void EndAnswer();
    // The six fixed uncertainties of the answering model (none, null or empty
    // for a model without them), formatted once per model and format, not per answer.
    void FixedErrorItems(const model::ErrorModel* errors);

    OutputBuffer& sink_;
    OutputBuffer row_;   // CSV: the answer's row, written after its header
    OutputBuffer* out_;  // where items go: the sink, or the row for CSV
    Format format_;
    bool raw_;
    DateSource today_;
    const model::FieldModel& model_;
    std::atomic<long long>* outsideYears_;
    bool oneLine_ = false;
    // Before each item: the separator (stored before the first one too, and
    // written over), counted from the second item on.
    char separator_ = ',';
    std::size_t separatorSize_ = 0;
    std::string error_;
    // The last field request's date and height, and whether each lies outside the model's.
    double fieldYear_ = 0.0;
    double fieldHeightKm_ = 0.0;
    bool yearOutside_ = false;
    bool heightOutside_ = false;
    std::string text_;  // reused for position texts
    std::string_view leadingNames_;
    std::span<const std::string> leadingFields_;
    OutputBuffer header_;  // CSV: the names of the answer being written
    struct FixedErrorBlock {
        bool written = false;
        const model::ErrorModel* errors = nullptr;
        bool oneLine = false;
        std::string items;  // as they follow the item before them
        std::string names;  // CSV: their part of the header row
    };
    std::array<FixedErrorBlock, 2> fixedErrors_;  // models without errors, with them
    CsvHeaders headers_;
};

// Appends `word` to `message` for an error line: at most 40 bytes, anything
// but printable ASCII shown as '?', so the line stays one clean line.
void AppendQuoted(std::string& message, std::string_view word);

// The fields as one CSV row (RFC 4180), without its line end.
std::string CsvRow(std::span<const std::string> fields);

// JSON string contents of the ASCII `text` (quotes, backslashes and control bytes escaped).
void AppendJsonEscaped(OutputBuffer& out, std::string_view text);

}  // namespace query

// Models from coefficient files, read the same in every locale: the standard
// layout (as WMM2025.COF: "2025.0 WMM-2025 11/13/2024", "1 0 -29351.8 0.0 12.0
// 0.0", ...), the SHC layout (as IGRF14.SHC) and the model --model names.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "Engine.h"
#include "FieldModel.h"

namespace model {

namespace {

// The years where every coefficient file's epochs lie.
constexpr double kFirstEpoch = 1900.0;
constexpr double kLastEpoch = 2100.0;

// The frame every coefficient file describes: a series of reference radius
// 6371.2 km, on WGS 84 (a = 6378.137 km, 1/f = 298.257223563).
void SetFileFrame(FieldModel& m) {
    m.referenceRadiusKm = 6371.2;
    m.semiMajorAxisKm = 6378.137;
    m.inverseFlattening = 298.257223563;
}

// The words of a line, separated by blanks and tabs.
std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (auto start = std::ranges::find_if_not(line, blank); start != line.end();) {
        const auto end = std::find_if(start, line.end(), blank);
        words.emplace_back(start, end);
        start = std::find_if_not(end, line.end(), blank);
    }
    return words;
}

// A reader's message from its parts. Cold: kept out of the reading paths,
// which would otherwise inline every message (twice the readers' code).
std::string AsText(std::string_view text) { return std::string(text); }
std::string AsText(std::integral auto number) { return std::to_string(number); }
template <typename... Parts>
[[gnu::cold]] std::string Joined(const Parts&... parts) {
    std::string text;
    (text.append(AsText(parts)), ...);
    return text;
}

// The lines of a text, each without its end ("\n" or "\r\n").
class TextLines {
public:
    // A line of a coefficient file is under 400 bytes; a far longer one is no such file.
    static constexpr std::size_t kMaxLine = 4096;

    explicit TextLines(std::string_view text) : text_(text) {}

    // The next line; false at the end of the text (counted as one more line),
    // or with error set when the line is longer than kMaxLine.
    bool Next(std::string_view& line, std::string& error) {
        ++number_;
        if (position_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(position_, end - position_);
        if (line.ends_with('\r')) line.remove_suffix(1);
        position_ = end + 1;
        return line.size() <= kMaxLine || Fault(error, "longer than ", kMaxLine, " bytes");
    }

    // The next line, or false with error set ("what" where the text ends).
    bool Expect(std::string_view& line, std::string& error, std::string_view what) {
        return Next(line, error) || (error.empty() && Fault(error, what));
    }

    // True when the rest is blank lines or lines whose words `allowed` takes;
    // else error names the first other line with "what".
    template <typename Allowed>
    bool OnlyAfter(std::string& error, std::string_view what, Allowed allowed) {
        std::string_view line;
        while (Next(line, error)) {
            const std::vector<std::string_view> words = Words(line);
            if (!words.empty() && !allowed(words)) return Fault(error, what);
        }
        return error.empty();
    }

    // Sets error to "line N: " and the parts for the current line; false.
    template <typename... Parts>
    [[gnu::cold]] bool Fault(std::string& error, const Parts&... parts) const {
        error = Joined("line ", number_, ": ", parts...);
        return false;
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    int number_ = 0;
};

// A whole word as a finite number (a whole one for an int), read the same in every locale.
template <typename Number>
bool Parse(std::string_view word, Number& value) {
    const char* end = word.data() + word.size();
    const auto [rest, code] = std::from_chars(word.data(), end, value);
    return code == std::errc() && rest == end && std::isfinite(static_cast<double>(value));
}

// True when the words are one per value and each reads as its value (Parse).
template <typename... Numbers>
bool ParseWords(const std::vector<std::string_view>& words, Numbers&... values) {
    std::size_t i = 0;
    return words.size() == sizeof...(values) && (Parse(words[i++], values) && ...);
}

constexpr double kValidYears = 5.0;  // of a file in the standard layout, as WMM2025: five years from the epoch
constexpr std::string_view kStandardHeader = "expected the header: epoch, model name, release date";

bool IsClosingLine(const std::vector<std::string_view>& words) {
    return words.size() == 1 && words[0].find_first_not_of('9') == std::string_view::npos;
}

// The SHC layout: linear change between epochs (spline order 2); a model needs two epochs to vary, the IGRF has 27.
constexpr int kLinearSplineOrder = 2;
constexpr int kMinEpochs = 2;
constexpr int kMaxEpochs = 100;
constexpr std::string_view kShcHeader = "expected the header: nmin nmax epochs spline-order steps start end";

// A path as one line of a message: control bytes show as '?'.
std::string Shown(std::string_view path) {
    std::string shown(path);
    const auto control = [](unsigned char c) { return c < ' ' || c == 0x7F; };
    std::ranges::replace_if(shown, control, '?');
    return shown;
}

// Reads a whole coefficient file into text; the reason it cannot, or empty.
// Only a regular file is opened: a FIFO with no writer would block the open
// for ever, a device may never end. (One swapped in between the two steps
// blocks only its swapper's program.)
std::string ReadModelFile(const std::filesystem::path& path, std::string& text) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    // "No such file or directory", also for a dangling link.
    if (code == std::errc::no_such_file_or_directory) {
        return code.message() + " (nor a built-in model: " + BuiltInKeys(", ") + ")";
    }
    if (code) return code.message();
    if (std::filesystem::is_directory(status)) return "is a directory";
    if (!std::filesystem::is_regular_file(status)) return "is not a regular file (a FIFO, a device or a socket)";
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    // The library opens through the C runtime, which says why in errno.
    if (!file) return errno != 0 ? std::generic_category().message(errno) : "cannot be opened";
    char buffer[4096];
    while (text.size() <= kMaxModelFileBytes && file.read(buffer, sizeof buffer).gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) return "cannot be read";
    if (text.size() > kMaxModelFileBytes) {
        return "larger than " + std::to_string(kMaxModelFileBytes >> 20) + " MiB, not a coefficient file";
    }
    return {};
}

// The SHC layout opens with comments or its header of seven words, the standard one with two or three.
bool IsShcLayout(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return false;
    return text[start] == '#' || Words(text.substr(start, text.find('\n', start) - start)).size() == 7;
}

}  // namespace

bool ReadCoefficientFile(std::string_view text, FieldModel& model, std::string& error) {
    TextLines lines(text);
    std::string_view line;
    error.clear();
    if (!lines.Expect(line, error, kStandardHeader)) return false;
    const std::vector<std::string_view> header = Words(line);
    FieldModel read;
    if (header.size() < 2 || header.size() > 3 || !Parse(header[0], read.epoch))
        return lines.Fault(error, kStandardHeader);
    if (read.epoch < kFirstEpoch || read.epoch > kLastEpoch)
        return lines.Fault(error, "the epoch is outside 1900 to 2100");
    read.name = std::string(header[1]);

    int n = 1;
    int m = 0;
    while (true) {
        if (!lines.Expect(line, error, "the file ends before its closing line of 9s")) return false;
        const std::vector<std::string_view> words = Words(line);
        if (IsClosingLine(words)) {
            if (m != 0) return lines.Fault(error, "degree ", n, " ends before order ", m);
            if (n == 1) return lines.Fault(error, "no coefficients before the closing line of 9s");
            break;
        }
        int degree = 0;
        int order = 0;
        CoefficientRecord record{};
        if (!ParseWords(words, degree, order, record.g, record.h, record.gdot, record.hdot))
            return lines.Fault(error, "expected n m g h gdot hdot");
        if (degree > kMaxCoefficientDegree)
            return lines.Fault(error, "degree ", degree, " is above ", kMaxCoefficientDegree,
                               ", the highest the model sums");
        if (degree != n || order != m)
            return lines.Fault(error, "expected degree ", n, " order ", m, ", found degree ", degree, " order ", order);
        record.n = degree;
        record.m = order;
        read.coefficients.push_back(record);
        if (++m > n) {
            ++n;
            m = 0;
        }
    }
    // Then only more lines of 9s (the standard files have two) or blank lines:
    // nothing of a second file may be silently dropped.
    if (!lines.OnlyAfter(error, "text after the closing line of 9s", IsClosingLine)) return false;

    read.mainDegree = read.secularDegree = n - 1;
    read.firstYear = read.epoch;
    read.lastYear = read.epoch + kValidYears;
    SetFileFrame(read);
    model = std::move(read);
    return true;
}

// Between epochs the coefficients change linearly: one single-epoch piece per
// interval, its secular variation the change per year to the next epoch.
bool ReadShcFile(std::string_view text, FieldModel& model, std::string& error) {
    TextLines lines(text);
    std::string_view line;
    error.clear();
    // Comment lines, then the header.
    do {
        if (!lines.Expect(line, error, kShcHeader)) return false;
    } while (line.starts_with('#'));
    int minDegree = 0, maxDegree = 0, epochCount = 0, splineOrder = 0, steps = 0;  // the header's fields
    double start = 0.0, end = 0.0;
    if (!ParseWords(Words(line), minDegree, maxDegree, epochCount, splineOrder, steps, start, end))
        return lines.Fault(error, kShcHeader);
    if (minDegree != 1) return lines.Fault(error, "the lowest degree must be 1, found ", minDegree);
    if (maxDegree < 1 || maxDegree > kMaxCoefficientDegree)
        return lines.Fault(error, "the highest degree must be 1 to ", kMaxCoefficientDegree,
                           " (the highest the model sums), found ", maxDegree);
    if (epochCount < kMinEpochs || epochCount > kMaxEpochs)
        return lines.Fault(error, "expected ", kMinEpochs, " to ", kMaxEpochs, " epochs, found ", epochCount);
    if (splineOrder != kLinearSplineOrder)
        return lines.Fault(error, "only linear change between epochs (spline order 2) is read, found order ",
                           splineOrder);

    // The epochs: increasing, within 1900 to 2100, from the header's start to its end.
    if (!lines.Expect(line, error, "expected the epochs")) return false;
    const std::vector<std::string_view> words = Words(line);
    if (words.size() != static_cast<std::size_t>(epochCount))
        return lines.Fault(error, "expected ", epochCount, " epochs, found ", words.size(), " words");
    std::vector<double> epochs;
    for (const std::string_view word : words) {
        double epoch = 0.0;
        if (!Parse(word, epoch) || epoch < kFirstEpoch || epoch > kLastEpoch ||
            (!epochs.empty() && epoch <= epochs.back()))
            return lines.Fault(error, "expected increasing epochs from 1900 to 2100, found \"", word, "\"");
        epochs.push_back(epoch);
    }
    if (start != epochs.front() || end != epochs.back())
        return lines.Fault(error, "the epochs do not run from the header's start to its end");

    FieldModel read;
    read.name = "SHC model";
    read.epoch = read.firstYear = epochs.front();
    read.lastYear = epochs.back();
    read.mainDegree = read.secularDegree = maxDegree;
    SetFileFrame(read);
    // One row per coefficient, filling every piece: a piece's degree is the
    // highest with a coefficient other than 0 at either epoch (at least 1).
    read.pieces.resize(epochs.size() - 1);
    for (int n = 1; n <= maxDegree; ++n) {
        for (int m = 0; m <= n; ++m) {
            for (FieldModel& piece : read.pieces) {
                piece.coefficients.push_back({static_cast<double>(m), static_cast<double>(n), 0.0, 0.0, 0.0, 0.0});
            }
            for (int part = 0; part < (m == 0 ? 1 : 2); ++part) {
                const std::string expected =
                    Joined("expected ", part == 0 ? "g(" : "h(", n, ",", m, "): n m and ", epochCount, " numbers");
                if (!lines.Expect(line, error, "the file ends early: " + expected)) return false;
                const std::vector<std::string_view> row = Words(line);
                int degree = 0;
                int order = 0;
                std::vector<double> values(epochs.size());
                bool parsed = row.size() == values.size() + 2 && Parse(row[0], degree) && Parse(row[1], order);
                for (std::size_t i = 0; parsed && i < values.size(); ++i) parsed = Parse(row[i + 2], values[i]);
                // An h row's order may be written negative.
                if (!parsed || degree != n || (order != m && !(part == 1 && order == -m)))
                    return lines.Fault(error, expected);
                for (std::size_t i = 0; i < read.pieces.size(); ++i) {
                    CoefficientRecord& r = read.pieces[i].coefficients.back();
                    (part == 0 ? r.g : r.h) = values[i];
                    (part == 0 ? r.gdot : r.hdot) = (values[i + 1] - values[i]) / (epochs[i + 1] - epochs[i]);
                    if (values[i] != 0.0 || values[i + 1] != 0.0) read.pieces[i].mainDegree = n;
                }
            }
        }
    }
    // Nothing but blank lines after the table.
    if (!lines.OnlyAfter(error, "text after the last coefficient", [](const auto&) { return false; })) return false;
    for (std::size_t i = 0; i < read.pieces.size(); ++i) {
        FieldModel& piece = read.pieces[i];
        piece.epoch = piece.firstYear = epochs[i];
        piece.lastYear = epochs[i + 1];
        piece.mainDegree = piece.secularDegree = std::max(piece.mainDegree, 1);
        piece.coefficients.resize(static_cast<std::size_t>(piece.mainDegree * (piece.mainDegree + 3) / 2));
        SetFileFrame(piece);
    }
    model = std::move(read);
    return true;
}

const FieldModel& PieceFor(const FieldModel& m, double year) {
    if (m.pieces.empty()) return m;
    const auto later = std::upper_bound(m.pieces.begin(), m.pieces.end(), year,
                                        [](double y, const FieldModel& piece) { return y < piece.epoch; });
    return later == m.pieces.begin() ? m.pieces.front() : *(later - 1);
}

const FieldModel* LoadFieldModel(std::string_view keyOrPath, FieldModel& loaded, std::string& error) {
    if (const FieldModel* builtIn = FindBuiltInModel(keyOrPath)) return builtIn;
    std::string text;
    std::string why = ReadModelFile(std::filesystem::path(keyOrPath), text);
    if (!why.empty() ||
        !(IsShcLayout(text) ? ReadShcFile(text, loaded, why) : ReadCoefficientFile(text, loaded, why))) {
        error = Shown(keyOrPath) + ": " + why;
        return nullptr;
    }
    return &loaded;
}

}  // namespace model

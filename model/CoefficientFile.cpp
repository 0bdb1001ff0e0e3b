// Reader of the standard coefficient-file layout (ReadCoefficientFile), as
// WMM2025.COF: "2025.0 WMM-2025 11/13/2024", "1 0 -29351.8 0.0 12.0 0.0", ...
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Engine.h"
#include "FieldModel.h"
#include "TextLines.h"

namespace model {

namespace {

constexpr double kValidYears = 5.0;  // as WMM2025: five years from the epoch
constexpr std::string_view kHeaderForm = "expected the header: epoch, model name, release date";

bool IsClosingLine(const std::vector<std::string_view>& words) {
    return words.size() == 1 && words[0].find_first_not_of('9') == std::string_view::npos;
}

}  // namespace

bool ReadCoefficientFile(std::string_view text, FieldModel& model, std::string& error) {
    TextLines lines(text);
    std::string_view line;
    error.clear();
    if (!lines.Expect(line, error, kHeaderForm)) return false;
    const std::vector<std::string_view> header = Words(line);
    FieldModel read;
    if (header.size() < 2 || header.size() > 3 || !Parse(header[0], read.epoch)) return lines.Fault(error, kHeaderForm);
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
    // After the closing line only more lines of 9s (the standard files have
    // two) or blank lines: nothing of a second file may be silently dropped.
    if (!lines.OnlyAfter(error, "text after the closing line of 9s", IsClosingLine)) return false;

    read.mainDegree = read.secularDegree = n - 1;
    read.firstYear = read.epoch;
    read.lastYear = read.epoch + kValidYears;
    SetFileFrame(read);
    model = std::move(read);
    return true;
}

}  // namespace model

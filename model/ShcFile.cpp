// Reader of the SHC layout (ReadShcFile), as IGRF14.SHC. Between epochs the
// coefficients change linearly (spline order 2), so the model is one
// single-epoch piece per interval: the first epoch's values and, as secular
// variation, the change per year to the next epoch.
#include <algorithm>
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

constexpr int kLinearSplineOrder = 2;
// A model needs two epochs to vary; the IGRF has 27.
constexpr int kMinEpochs = 2;
constexpr int kMaxEpochs = 100;

constexpr std::string_view kHeaderForm = "expected the header: nmin nmax epochs spline-order steps start end";

}  // namespace

bool ReadShcFile(std::string_view text, FieldModel& model, std::string& error) {
    TextLines lines(text);
    std::string_view line;
    error.clear();
    // Comment lines, then the header.
    do {
        if (!lines.Expect(line, error, kHeaderForm)) return false;
    } while (line.starts_with('#'));
    int minDegree = 0;
    int maxDegree = 0;
    int epochCount = 0;
    int splineOrder = 0;
    int steps = 0;
    double start = 0.0;
    double end = 0.0;
    if (!ParseWords(Words(line), minDegree, maxDegree, epochCount, splineOrder, steps, start, end))
        return lines.Fault(error, kHeaderForm);
    if (minDegree != 1) return lines.Fault(error, "the lowest degree must be 1, found ", minDegree);
    if (maxDegree < 1 || maxDegree > kMaxCoefficientDegree)
        return lines.Fault(error, "the highest degree must be 1 to ", kMaxCoefficientDegree,
                           " (the highest the model sums), found ", maxDegree);
    if (epochCount < kMinEpochs || epochCount > kMaxEpochs)
        return lines.Fault(error, "expected ", kMinEpochs, " to ", kMaxEpochs, " epochs, found ", epochCount);
    if (splineOrder != kLinearSplineOrder)
        return lines.Fault(error, "only linear change between epochs (spline order 2) is read, found order ",
                           splineOrder);

    // The epochs: increasing, within the years a field model can have, and
    // the header's start and end.
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
    // One row per coefficient, degree by degree, filling every piece: its
    // degree the highest with a coefficient other than 0 at either epoch (at least 1).
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

}  // namespace model

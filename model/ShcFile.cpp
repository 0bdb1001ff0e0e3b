// Reader of the SHC layout of models given at several epochs, as the
// International Geomagnetic Reference Field is published:
//   # comment lines
//   1 13 27 2 1 1900.0 2030.0        nmin nmax epochs spline-order steps start end
//     1900.0 1905.0 ... 2030.0       the epochs
//   1 0 -31543 -31464 ...            n m and the coefficient at each epoch, nT
//   1 1 -2298 ...                    g(n,m), then h(n,m) (m written as m or -m)
// Between epochs the coefficients change linearly (spline order 2), so the
// model is one single-epoch piece per interval: the first epoch's values and,
// as secular variation, the change per year to the next epoch.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FieldModel.h"
#include "ModelState.h"
#include "TextLines.h"

namespace model {

namespace {

constexpr std::size_t kHeaderFields = 7;
constexpr int kLinearSplineOrder = 2;
// A model needs two epochs to vary; the IGRF has 27.
constexpr int kMinEpochs = 2;
constexpr int kMaxEpochs = 100;

constexpr std::string_view kHeaderForm = "expected the header: nmin nmax epochs spline-order steps start end";

// Coefficients of degrees 1 to maxDegree at every epoch, in working order: for
// each n, g(n,0), then g(n,m) and h(n,m) for m = 1 to n.
struct Table {
    int maxDegree = 0;
    std::vector<double> epochs;
    std::vector<std::vector<double>> rows;  // one row per coefficient, a value per epoch
};

// Reads the header, the epochs and the rows; error names the line.
bool ReadTable(std::string_view text, Table& table, std::string& error) {
    TextLines lines(text);
    std::string_view line;
    std::vector<std::string_view> words;
    // Comment lines, then the header.
    do {
        if (!lines.Expect(line, error, kHeaderForm)) return false;
    } while (line.starts_with('#'));
    words = Words(line);
    int minDegree = 0;
    int epochCount = 0;
    int splineOrder = 0;
    int steps = 0;
    double start = 0.0;
    double end = 0.0;
    if (words.size() != kHeaderFields || !Parse(words[0], minDegree) || !Parse(words[1], table.maxDegree) ||
        !Parse(words[2], epochCount) || !Parse(words[3], splineOrder) || !Parse(words[4], steps) ||
        !Parse(words[5], start) || !Parse(words[6], end)) {
        return lines.Fault(error, kHeaderForm);
    }
    if (minDegree != 1) return lines.Fault(error, "the lowest degree must be 1, found " + std::to_string(minDegree));
    if (table.maxDegree < 1 || table.maxDegree > kMaxCoefficientDegree)
        return lines.Fault(error, "the highest degree must be 1 to " + std::to_string(kMaxCoefficientDegree) +
                                      " (the highest the model sums), found " + std::to_string(table.maxDegree));
    if (epochCount < kMinEpochs || epochCount > kMaxEpochs) {
        return lines.Fault(error, "expected " + std::to_string(kMinEpochs) + " to " + std::to_string(kMaxEpochs) +
                                      " epochs, found " + std::to_string(epochCount));
    }
    if (splineOrder != kLinearSplineOrder)
        return lines.Fault(error, "only linear change between epochs (spline order 2) is read, found order " +
                                      std::to_string(splineOrder));

    // The epochs: increasing, within the years a field model can have, and
    // the header's start and end.
    if (!lines.Expect(line, error, "expected the epochs")) return false;
    words = Words(line);
    if (words.size() != static_cast<std::size_t>(epochCount))
        return lines.Fault(error, "expected " + std::to_string(epochCount) + " epochs, found " +
                                      std::to_string(words.size()) + " words");
    for (const std::string_view word : words) {
        double epoch = 0.0;
        if (!Parse(word, epoch) || epoch < kFirstEpoch || epoch > kLastEpoch ||
            (!table.epochs.empty() && epoch <= table.epochs.back())) {
            return lines.Fault(error,
                               "expected increasing epochs from 1900 to 2100, found \"" + std::string(word) + "\"");
        }
        table.epochs.push_back(epoch);
    }
    if (start != table.epochs.front() || end != table.epochs.back())
        return lines.Fault(error, "the epochs do not run from the header's start to its end");

    // One row per coefficient, degree by degree.
    for (int n = 1; n <= table.maxDegree; ++n) {
        for (int m = 0; m <= n; ++m) {
            for (int part = 0; part < (m == 0 ? 1 : 2); ++part) {
                const char* name = part == 0 ? "g" : "h";
                const std::string expected = "expected " + std::string(name) + "(" + std::to_string(n) + "," +
                                             std::to_string(m) + "): n m and " + std::to_string(epochCount) +
                                             " numbers";
                if (!lines.Expect(line, error, "the file ends early: " + expected)) return false;
                words = Words(line);
                int degree = 0;
                int order = 0;
                std::vector<double> values(words.size() > 2 ? words.size() - 2 : 0);
                bool read = words.size() == static_cast<std::size_t>(epochCount) + 2 && Parse(words[0], degree) &&
                            Parse(words[1], order);
                for (std::size_t i = 0; read && i < values.size(); ++i) read = Parse(words[i + 2], values[i]);
                // An h row's order may be written negative.
                if (!read || degree != n || (order != m && !(part == 1 && order == -m)))
                    return lines.Fault(error, expected);
                table.rows.push_back(std::move(values));
            }
        }
    }
    // Nothing but blank lines after the table.
    return lines.OnlyAfter(error, "text after the last coefficient", [](const auto&) { return false; });
}

// The piece of the interval from epoch `first` to the next, to the highest
// degree with a coefficient other than 0 at either epoch (at least 1).
FieldModel Piece(const Table& table, std::size_t first) {
    FieldModel piece;
    piece.epoch = table.epochs[first];
    piece.firstYear = piece.epoch;
    piece.lastYear = table.epochs[first + 1];
    SetFileFrame(piece);
    const double years = piece.lastYear - piece.epoch;
    int degree = 1;
    auto row = table.rows.begin();
    const auto next = [&](double& value, double& change) {
        const std::vector<double>& values = *row++;
        value = values[first];
        change = (values[first + 1] - values[first]) / years;
        return values[first] != 0.0 || values[first + 1] != 0.0;
    };
    for (int n = 1; n <= table.maxDegree; ++n) {
        for (int m = 0; m <= n; ++m) {
            CoefficientRecord r{static_cast<double>(m), static_cast<double>(n), 0.0, 0.0, 0.0, 0.0};
            bool used = next(r.g, r.gdot);
            if (m > 0) used = next(r.h, r.hdot) || used;
            if (used) degree = n;
            piece.coefficients.push_back(r);
        }
    }
    piece.mainDegree = degree;
    piece.secularDegree = degree;
    piece.coefficients.resize(static_cast<std::size_t>(degree * (degree + 3) / 2));
    return piece;
}

}  // namespace

bool ReadShcFile(std::string_view text, FieldModel& model, std::string& error) {
    Table table;
    error.clear();
    if (!ReadTable(text, table, error)) return false;
    FieldModel read;
    read.name = "SHC model";
    read.epoch = table.epochs.front();
    read.firstYear = table.epochs.front();
    read.lastYear = table.epochs.back();
    read.mainDegree = table.maxDegree;
    read.secularDegree = table.maxDegree;
    SetFileFrame(read);
    for (std::size_t i = 0; i + 1 < table.epochs.size(); ++i) read.pieces.push_back(Piece(table, i));
    model = std::move(read);
    return true;
}

const FieldModel& PieceFor(const FieldModel& m, double year) {
    if (m.pieces.empty()) return m;
    // The interval that holds the year; its last epoch belongs to the last
    // interval, and a year outside the model's goes to the nearest one.
    const auto later = std::upper_bound(m.pieces.begin(), m.pieces.end(), year,
                                        [](double y, const FieldModel& piece) { return y < piece.epoch; });
    return later == m.pieces.begin() ? m.pieces.front() : *(later - 1);
}

}  // namespace model

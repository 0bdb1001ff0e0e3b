// Line-by-line reading of the coefficient-file layouts (standard and SHC):
// lines, their words and their numbers, read the same in every locale, and
// the frame the files describe.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace model {

// What every coefficient file describes: a series of reference radius 6371.2
// km, on WGS 84 (a = 6378.137 km, 1/f = 298.257223563), at epochs within the
// years of the geomagnetic reference fields and their successors.
inline constexpr double kFileReferenceRadiusKm = 6371.2;
inline constexpr double kWgs84SemiMajorAxisKm = 6378.137;
inline constexpr double kWgs84InverseFlattening = 298.257223563;
inline constexpr double kFirstEpoch = 1900.0;
inline constexpr double kLastEpoch = 2100.0;

// "line 7: what", the form of every reader's error.
inline std::string AtLine(int number, std::string_view what) {
    return "line " + std::to_string(number) + ": " + std::string(what);
}

// The lines of a text, each without its end ("\n" or "\r\n").
class TextLines {
public:
    // A line of a coefficient file is under 400 bytes; a far longer one is no such file.
    static constexpr std::size_t kMaxLine = 4096;

    explicit TextLines(std::string_view text) : text_(text) {}

    // The next line; false at the end of the text, or with error set when the
    // line is longer than kMaxLine.
    bool Next(std::string_view& line, std::string& error) {
        if (position_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', position_);
        if (end == std::string_view::npos) end = text_.size();
        line = text_.substr(position_, end - position_);
        if (line.ends_with('\r')) line.remove_suffix(1);
        position_ = end + 1;
        ++number_;
        if (line.size() > kMaxLine) {
            error = AtLine(number_, "longer than " + std::to_string(kMaxLine) + " bytes");
            return false;
        }
        return true;
    }

    int Number() const { return number_; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
    int number_ = 0;
};

// The words of a line, separated by blanks and tabs.
inline std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A whole word as a finite number.
inline bool ParseNumber(std::string_view word, double& value) {
    const char* end = word.data() + word.size();
    const auto [rest, code] = std::from_chars(word.data(), end, value);
    return code == std::errc() && rest == end && std::isfinite(value);
}

// A whole word as a whole number.
inline bool ParseWhole(std::string_view word, int& value) {
    const char* end = word.data() + word.size();
    const auto [rest, code] = std::from_chars(word.data(), end, value);
    return code == std::errc() && rest == end;
}

}  // namespace model

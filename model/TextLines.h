// Line-by-line reading of the coefficient-file layouts: lines, their words and
// their numbers, read the same in every locale.
#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace model {

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

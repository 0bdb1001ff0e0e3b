// What the coefficient-file readers (standard and SHC layouts) share: lines,
// their words and numbers, read the same in every locale, and the frame the
// files describe.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "FieldModel.h"

namespace model {

// The years of the geomagnetic reference fields and their successors, where
// every coefficient file's epochs lie.
inline constexpr double kFirstEpoch = 1900.0;
inline constexpr double kLastEpoch = 2100.0;

// The frame every coefficient file describes: a series of reference radius
// 6371.2 km, on WGS 84 (a = 6378.137 km, 1/f = 298.257223563).
inline void SetFileFrame(FieldModel& m) {
    m.referenceRadiusKm = 6371.2;
    m.semiMajorAxisKm = 6378.137;
    m.inverseFlattening = 298.257223563;
}

// The words of a line, separated by blanks and tabs.
inline std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (auto start = std::ranges::find_if_not(line, blank); start != line.end();) {
        const auto end = std::find_if(start, line.end(), blank);
        words.emplace_back(start, end);
        start = std::find_if_not(end, line.end(), blank);
    }
    return words;
}

// A reader's message as one text from its parts, whole numbers written as
// std::to_string writes them. Cold: kept out of the reading paths, which would
// otherwise inline every message (twice the readers' code).
inline std::string AsText(std::string_view text) { return std::string(text); }
inline std::string AsText(std::integral auto number) { return std::to_string(number); }
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

    // The next line; false at the end of the text (the line number then that
    // of the line after the last), or with error set when the line is longer
    // than kMaxLine.
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

    // The next line, or false with error set: where the text ends, "what" at
    // the line after the last.
    bool Expect(std::string_view& line, std::string& error, std::string_view what) {
        return Next(line, error) || (error.empty() && Fault(error, what));
    }

    // True when the rest of the text is blank lines or lines whose words
    // `allowed` takes; else error names the first other line with "what".
    template <typename Allowed>
    bool OnlyAfter(std::string& error, std::string_view what, Allowed allowed) {
        std::string_view line;
        while (Next(line, error)) {
            const std::vector<std::string_view> words = Words(line);
            if (!words.empty() && !allowed(words)) return Fault(error, what);
        }
        return error.empty();
    }

    // Sets error to "line N: " and the parts (Joined) for the current line;
    // false, to be returned.
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

}  // namespace model

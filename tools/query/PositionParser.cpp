#include "PositionParser.h"

#include "model/ModelDate.h"

#include <charconv>
#include <ctime>
#include <system_error>

namespace query {

namespace {

constexpr std::string_view kDegreeSign = "\xC2\xB0";  // UTF-8
constexpr double kMinutesPerDegree = 60.0;
constexpr double kSecondsPerDegree = 3600.0;
constexpr double kPole = 90.0;
constexpr int kTmYearBase = 1900;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The letters of one coordinate: the positive one first.
struct Hemispheres {
    char positive;
    char negative;
    char otherPositive;
    char otherNegative;
    ParseError wrongLetter;
};

constexpr Hemispheres kLatitude{'N', 'S', 'E', 'W', ParseError::LongitudeLetter};
constexpr Hemispheres kLongitude{'E', 'W', 'N', 'S', ParseError::LatitudeLetter};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// One unsigned component of an angle ("51", "30.25", ".5") from the front of
// `rest`: NotAnAngle when there is none or it has more than one point.
// `atLeastSixty` judges the written value, not the double it rounds to
// ("59.99999999999999999" is under 60 and reads as 60.0).
ParseError ReadComponent(std::string_view& rest, double& value, bool& hasFraction, bool& atLeastSixty) {
    std::size_t n = 0;
    while (n < rest.size() && (IsDigit(rest[n]) || rest[n] == '.')) ++n;
    const std::string_view text = rest.substr(0, n);
    std::string_view whole = text.substr(0, text.find('.'));
    while (whole.size() > 1 && whole[0] == '0') whole.remove_prefix(1);
    atLeastSixty = whole.size() > 2 || (whole.size() == 2 && whole >= "60");
    if (text.empty() || text == ".") return ParseError::NotAnAngle;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + n, value, std::chars_format::fixed);
    if (ptr != text.data() + n) return ParseError::NotAnAngle;
    // Too many digits for a double; too few for a number below the least one
    // cannot be written without an exponent, so this is never an underflow.
    if (ec == std::errc::result_out_of_range) return ParseError::OutOfRange;
    if (ec != std::errc()) return ParseError::NotAnAngle;
    hasFraction = text.find('.') != std::string_view::npos;
    rest.remove_prefix(n);
    return ParseError::None;
}

bool Take(std::string_view& rest, std::string_view mark) {
    if (!rest.starts_with(mark)) return false;
    rest.remove_prefix(mark.size());
    return true;
}

// Degrees with minutes and seconds, unsigned: "51d30'15\"", "51\xC2\xB030'",
// "51d", "51:30", "51:30:15". Only the last component may have a fraction.
ParseError ParseDegreesMinutesSeconds(std::string_view text, double& degrees) {
    double parts[3] = {0.0, 0.0, 0.0};
    bool fraction[3] = {false, false, false};
    bool sixty[3] = {false, false, false};
    int count = 0;
    if (const ParseError e = ReadComponent(text, parts[0], fraction[0], sixty[0]); e != ParseError::None) return e;
    count = 1;
    if (Take(text, ":")) {
        if (const ParseError e = ReadComponent(text, parts[1], fraction[1], sixty[1]); e != ParseError::None) return e;
        count = 2;
        if (Take(text, ":")) {
            if (const ParseError e = ReadComponent(text, parts[2], fraction[2], sixty[2]); e != ParseError::None)
                return e;
            count = 3;
        }
    } else if (Take(text, "d") || Take(text, "D") || Take(text, kDegreeSign)) {
        if (!text.empty()) {
            if (const ParseError e = ReadComponent(text, parts[1], fraction[1], sixty[1]); e != ParseError::None)
                return e;
            count = 2;
            if (Take(text, "'") && !text.empty()) {
                if (const ParseError e = ReadComponent(text, parts[2], fraction[2], sixty[2]); e != ParseError::None)
                    return e;
                count = 3;
                Take(text, "\"");
            }
        }
    } else {
        return ParseError::NotAnAngle;
    }
    if (!text.empty()) return ParseError::NotAnAngle;
    for (int i = 0; i + 1 < count; ++i) {
        if (fraction[i]) return ParseError::NotAnAngle;  // "51.5d30'": which is meant?
    }
    if (sixty[1] || sixty[2]) return ParseError::SixtyOrMore;
    degrees = parts[0] + parts[1] / kMinutesPerDegree + parts[2] / kSecondsPerDegree;
    return ParseError::None;
}

// Whether the word writes degrees, minutes or seconds: ':', d, D, ', " or the
// degree sign.
bool HasAngleMarks(std::string_view word) {
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (c == ':' || c == 'd' || c == 'D' || c == '\'' || c == '"') return true;
        if (c == kDegreeSign[0] && i + 1 < word.size() && word[i + 1] == kDegreeSign[1]) return true;
    }
    return false;
}

ParseError ParseCoordinate(std::string_view word, const Hemispheres& letters, double& degrees) {
    char sign = 0;
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) {
        sign = word[0];
        word.remove_prefix(1);
        if (!word.empty() && (word[0] == '+' || word[0] == '-')) return ParseError::NotANumber;  // "+-5"
    }
    char letter = 0;
    // A letter follows a digit, a point or a mark ("51.5N", "30'N", "51\xC2\xB0N"), so "nan" keeps its n.
    const char last = word.empty() ? '\0' : Upper(word.back());
    const bool ours = last == letters.positive || last == letters.negative;
    if ((ours || last == letters.otherPositive || last == letters.otherNegative) && word.size() > 1) {
        const char beforeLast = word[word.size() - 2];
        if (IsDigit(beforeLast) || std::string_view(".'\"dD\xB0").find(beforeLast) != std::string_view::npos) {
            if (!ours) return letters.wrongLetter;
            letter = last;
            word.remove_suffix(1);
        }
    }
    const bool south = letter == letters.negative;
    if (letter != 0 && sign != 0 && (sign == '-') != south) return ParseError::SignAgainstLetter;

    // A word that reads as a real has no angle marks (nothing that reads as a
    // finite real has any), so the marks are looked for only when it does not.
    double value = 0.0;
    ParseError error = ParseReal(word, value);
    if (error != ParseError::None && HasAngleMarks(word)) error = ParseDegreesMinutesSeconds(word, value);
    if (error != ParseError::None) return error;
    degrees = sign == '-' || south ? -value : value;
    return ParseError::None;
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "YYYY-MM-DD" exactly: four, two and two digits.
bool IsIsoShape(std::string_view word) {
    if (word.size() != 10 || word[4] != '-' || word[7] != '-') return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (i != 4 && i != 7 && !IsDigit(word[i])) return false;
    }
    return true;
}

int Digits(std::string_view text) {
    int value = 0;
    for (const char c : text) value = value * 10 + (c - '0');
    return value;
}

}  // namespace

CalendarDate LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return {1970, 1, 1};
    return {local.tm_year + kTmYearBase, local.tm_mon + 1, local.tm_mday};
}

ParseError ParseLatitude(std::string_view word, double& degrees) {
    double value = 0.0;
    const ParseError error = ParseCoordinate(word, kLatitude, value);
    if (error != ParseError::None) return error;
    if (value > kPole || value < -kPole) return ParseError::BeyondPole;
    degrees = value;
    return ParseError::None;
}

ParseError ParseLongitude(std::string_view word, double& degrees) { return ParseCoordinate(word, kLongitude, degrees); }

ParseError ParseDate(std::string_view word, DateSource today, double& year) {
    if (word == "now") {
        const CalendarDate date = today();
        year = model::DecimalYear(date.year, date.month, date.day);
        return ParseError::None;
    }
    if (IsIsoShape(word)) {
        const int y = Digits(word.substr(0, 4));
        const int m = Digits(word.substr(5, 2));
        const int d = Digits(word.substr(8, 2));
        if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return ParseError::NoSuchDay;
        year = model::DecimalYear(y, m, d);
        return ParseError::None;
    }
    const ParseError error = ParseReal(word, year);
    return error == ParseError::NotANumber ? ParseError::NotADate : error;
}

}  // namespace query

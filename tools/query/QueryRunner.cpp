#include "QueryRunner.h"

#include "NumberParser.h"
#include "ReadoutText.h"
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "model/VariationText.h"

#include <array>
#include <cmath>
#include <limits>

namespace query {

namespace {

constexpr std::array<std::string_view, 3> kFieldArgs{"LAT", "LON", "YEAR"};
constexpr std::array<std::string_view, 4> kCourseArgs{"LAT1", "LON1", "LAT2", "LON2"};
constexpr std::array<std::string_view, 2> kPixelArgs{"X", "Y"};

// The longest argument echoed back in an error line.
constexpr std::size_t kMaxEcho = 40;

constexpr char kHex[] = "0123456789abcdef";

// Display texts are Windows-1252 with the degree sign 0xB0; the bytes they use
// (0xA0..0xFF) are the same code points in Latin-1, hence two UTF-8 bytes each.
// In JSON, quotes, backslashes and control bytes are escaped as well.
void AppendText(OutputBuffer& out, std::string_view text, bool json, bool utf8) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (json && (c == '"' || c == '\\')) {
            out.Append('\\');
            out.Append(c);
        } else if (json && byte < 0x20) {
            out.Append("\\u00");
            out.Append(kHex[byte >> 4]);
            out.Append(kHex[byte & 0xF]);
        } else if (utf8 && byte >= 0x80) {
            out.Append(static_cast<char>(0xC0 | (byte >> 6)));
            out.Append(static_cast<char>(0x80 | (byte & 0x3F)));
        } else {
            out.Append(c);
        }
    }
}

}  // namespace

void AppendQuoted(std::string& message, std::string_view word) {
    message += '"';
    for (std::size_t i = 0; i < word.size() && i < kMaxEcho; ++i) {
        const char c = word[i];
        message += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    if (word.size() > kMaxEcho) message += "...";
    message += '"';
}

void AppendJsonEscaped(OutputBuffer& out, std::string_view text) { AppendText(out, text, true, false); }

Outcome QueryRunner::Run(std::span<const std::string_view> words, bool oneLine) {
    m_bOneLine = oneLine;
    if (words.empty()) {
        m_strError = "empty request: expected field, course or pixel";
        return Outcome::BadRequest;
    }
    const std::string_view command = words[0];
    const auto args = words.subspan(1);
    if (command == "field") return RunField(args);
    if (command == "course") return RunCourse(args);
    if (command == "pixel") return RunPixel(args);
    m_strError = "unknown command ";
    AppendQuoted(m_strError, command);
    m_strError += ": expected field, course or pixel";
    return Outcome::BadRequest;
}

Outcome QueryRunner::RunField(std::span<const std::string_view> args) {
    double v[kFieldArgs.size()];
    if (!ParseReals("field", kFieldArgs, args, v)) return Outcome::BadRequest;
    for (std::size_t i = 0; i < kFieldArgs.size(); ++i) {
        // The model rounds its arguments to single precision; beyond its range
        // they would become infinite there and every field NaN.
        if (std::fabs(v[i]) > std::numeric_limits<float>::max()) {
            SetError("field", kFieldArgs[i], args[i], "is out of range for the model");
            return Outcome::BadRequest;
        }
    }

    model::MagneticElements e{};
    const int status = model::ComputeMagneticElements(v[0], v[1], v[2], e);
    BeginAnswer();
    Item("status", static_cast<long long>(status));
    if (status != model::kStatusOk) {
        EndAnswer();
        return Outcome::ModelFailed;
    }
    Item("declinationChange", e.declinationChange);
    Item("inclinationChange", e.inclinationChange);
    Item("horizontalChange", e.horizontalChange);
    Item("northChange", e.northChange);
    Item("eastChange", e.eastChange);
    Item("verticalChange", e.verticalChange);
    Item("totalChange", e.totalChange);
    Item("declinationDegrees", static_cast<long long>(e.declinationDegrees));
    Item("declinationMinutes", e.declinationMinutes);
    Item("inclinationDegrees", static_cast<long long>(e.inclinationDegrees));
    Item("inclinationMinutes", e.inclinationMinutes);
    Item("horizontalIntensity", e.horizontalIntensity);
    Item("northComponent", e.northComponent);
    Item("eastComponent", e.eastComponent);
    Item("verticalComponent", e.verticalComponent);
    Item("totalIntensity", e.totalIntensity);
    ReadoutRoom room;
    TextItem("variation", VariationText(e.declinationDegrees, e.declinationMinutes, room));
    EndAnswer();
    return Outcome::Answered;
}

Outcome QueryRunner::RunCourse(std::span<const std::string_view> args) {
    double v[kCourseArgs.size()];
    if (!ParseReals("course", kCourseArgs, args, v)) return Outcome::BadRequest;

    double course = 0.0;
    double distance = 0.0;
    geometry::GreatCircleCourseDistance(v[0], v[1], v[2], v[3], course, distance);
    BeginAnswer();
    Item("course", course);
    Item("distance", distance);
    TextItem("courseText", geometry::FormatCourse(course));
    TextItem("distanceText", geometry::FormatDistance(distance));
    EndAnswer();
    return Outcome::Answered;
}

Outcome QueryRunner::RunPixel(std::span<const std::string_view> args) {
    if (!CheckCount("pixel", kPixelArgs, args)) return Outcome::BadRequest;
    int p[kPixelArgs.size()];
    for (std::size_t i = 0; i < kPixelArgs.size(); ++i) {
        const ParseError error = ParseInteger(args[i], p[i]);
        if (error != ParseError::None) {
            SetError("pixel", kPixelArgs[i], args[i],
                     error == ParseError::NotANumber ? "is not an integer" : Describe(error));
            return Outcome::BadRequest;
        }
    }

    const bool inside = geometry::IsInsideMap(geometry::kWorldMap, p[0], p[1]) != 0;
    double latitude = 0.0;
    double longitude = 0.0;
    geometry::PixelToGeographic(geometry::kWorldMap, p[0], p[1], latitude, longitude, m_strText);
    BeginAnswer();
    Item("inside", inside);
    Item("latitude", latitude);
    Item("longitude", longitude);
    if (inside) TextItem("text", m_strText);  // the dialog shows no text off the map
    EndAnswer();
    return Outcome::Answered;
}

bool QueryRunner::CheckCount(std::string_view command, std::span<const std::string_view> names,
                             std::span<const std::string_view> args) {
    if (args.size() < names.size()) {
        m_strError.assign(command);
        m_strError += ": ";
        m_strError += names[args.size()];
        m_strError += " is missing";
        return false;
    }
    if (args.size() > names.size()) {
        m_strError.assign(command);
        m_strError += ": extra argument ";
        AppendQuoted(m_strError, args[names.size()]);
        return false;
    }
    return true;
}

bool QueryRunner::ParseReals(std::string_view command, std::span<const std::string_view> names,
                             std::span<const std::string_view> args, double* values) {
    if (!CheckCount(command, names, args)) return false;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const ParseError error = ParseReal(args[i], values[i]);
        if (error != ParseError::None) {
            SetError(command, names[i], args[i], Describe(error));
            return false;
        }
    }
    return true;
}

void QueryRunner::SetError(std::string_view command, std::string_view name, std::string_view word,
                           std::string_view what) {
    m_strError.assign(command);
    m_strError += ": ";
    m_strError += name;
    m_strError += ' ';
    AppendQuoted(m_strError, word);
    m_strError += ' ';
    m_strError += what;
}

void QueryRunner::BeginAnswer() {
    m_bFirstItem = true;
    if (m_bJson) m_out.Append('{');
}

void QueryRunner::ItemName(std::string_view name) {
    if (!m_bFirstItem) m_out.Append(m_bJson ? ',' : (m_bOneLine ? ' ' : '\n'));
    m_bFirstItem = false;
    if (m_bJson) {
        m_out.Append('"');
        m_out.Append(name);
        m_out.Append("\":");
    } else {
        m_out.Append(name);
        m_out.Append('=');
    }
}

void QueryRunner::Item(std::string_view name, double value) {
    ItemName(name);
    if (m_bJson && !std::isfinite(value)) {
        m_out.Append("null");  // JSON has no NaN or infinity
    } else {
        m_out.AppendReal(value);
    }
}

void QueryRunner::Item(std::string_view name, long long value) {
    ItemName(name);
    m_out.AppendInteger(value);
}

void QueryRunner::Item(std::string_view name, bool value) {
    ItemName(name);
    m_out.Append(value ? "true" : "false");
}

void QueryRunner::TextItem(std::string_view name, std::string_view displayBytes) {
    ItemName(name);
    m_out.Append('"');
    AppendText(m_out, displayBytes, m_bJson, m_bJson || !m_bRaw);
    m_out.Append('"');
}

void QueryRunner::EndAnswer() {
    if (m_bJson) m_out.Append('}');
    m_out.Append('\n');
}

}  // namespace query

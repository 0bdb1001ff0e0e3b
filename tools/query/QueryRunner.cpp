#include "QueryRunner.h"

#include "EllipsoidRoute.h"
#include "NumberParser.h"
#include "geometry/GreatCircle.h"
#include "geometry/MapProjection.h"
#include "model/MagneticModel.h"
#include "model/VariationText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace query {

namespace {

using Kind = ArgumentKind;
constexpr std::array<Argument, 4> kFieldArgs{
    {{"LAT", Kind::Latitude}, {"LON", Kind::Longitude}, {"DATE", Kind::Date}, {"HEIGHT_KM", Kind::Real}}};
constexpr std::size_t kFieldRequired = 3;  // the height is 0 unless given
constexpr std::array<Argument, 4> kCourseArgs{
    {{"LAT1", Kind::Latitude}, {"LON1", Kind::Longitude}, {"LAT2", Kind::Latitude}, {"LON2", Kind::Longitude}}};
constexpr std::array<Argument, 5> kRouteArgs{{{"LAT1", Kind::Latitude},
                                              {"LON1", Kind::Longitude},
                                              {"LAT2", Kind::Latitude},
                                              {"LON2", Kind::Longitude},
                                              {"DATE", Kind::Date}}};
constexpr std::size_t kRouteRequired = 4;  // without a date, no magnetic courses
constexpr std::array<std::string_view, 2> kPixelArgs{"X", "Y"};

// What answers call a model read from a file.
constexpr std::string_view kFileModelKey = "file";

// The longest argument echoed back in an error line.
constexpr std::size_t kMaxEcho = 40;

constexpr char kHex[] = "0123456789abcdef";

// A byte from 0x80 up of the display's texts as its two UTF-8 bytes.
char* WriteLatin1AsUtf8(char* at, unsigned char byte) {
    *at++ = static_cast<char>(0xC0 | (byte >> 6));
    *at++ = static_cast<char>(0x80 | (byte & 0x3F));
    return at;
}

// Display texts are Windows-1252 with the degree sign 0xB0; the bytes they use
// (0xA0..0xFF) are the same code points in Latin-1, hence two UTF-8 bytes each.
// In JSON, quotes, backslashes and control bytes are escaped as well.
void AppendText(OutputBuffer& out, std::string_view text, bool json, bool utf8) {
    constexpr std::size_t kLongestByte = 6;  // "\u00XX"
    char* at = out.Reserve(text.size() * kLongestByte);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (json && (c == '"' || c == '\\')) {
            *at++ = '\\';
            *at++ = c;
        } else if (json && byte < 0x20) {
            at = std::copy_n("\\u00", 4, at);
            *at++ = kHex[byte >> 4];
            *at++ = kHex[byte & 0xF];
        } else if (utf8 && byte >= 0x80) {
            at = WriteLatin1AsUtf8(at, byte);
        } else {
            *at++ = c;
        }
    }
    out.Commit(at);
}

// Writes a CSV field (RFC 4180) at `at`, which has room for 2 * size + 2
// bytes: quoted where it holds a separator, a quote or a line break, or starts
// with '#' (so that no record reads as a comment line, which the batch copies
// as it is), its quotes doubled. latin1: the display's bytes, written as UTF-8.
// Returns the end.
char* WriteCsvField(char* at, std::string_view text, bool latin1) {
    // (One pass with a predicate: find_first_of looks each byte up in the set with a call.)
    const bool quoted = text.starts_with('#') || std::any_of(text.begin(), text.end(), [](char c) {
                            return c == ',' || c == '"' || c == '\r' || c == '\n' || c == '\t';
                        });
    if (quoted) *at++ = '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"') {
            *at++ = '"';
            *at++ = '"';
        } else if (latin1 && byte >= 0x80) {
            at = WriteLatin1AsUtf8(at, byte);
        } else {
            *at++ = c;
        }
    }
    if (quoted) *at++ = '"';
    return at;
}

void AppendCsvField(OutputBuffer& out, std::string_view text, bool latin1) {
    out.Commit(WriteCsvField(out.Reserve(2 * text.size() + 2), text, latin1));
}

// The shortest text that reads back as the same double, in any locale.
void AppendNumber(std::string& text, double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ec == std::errc() ? result.ptr : buffer);
}

// The length of the well-formed UTF-8 character at the front of `text` (no
// overlong form, no surrogate, nothing past U+10FFFF), or 0.
std::size_t Utf8CharacterLength(std::string_view text) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80;  // the second byte's bounds
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (at(i) < 0x80 || at(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

// The word as typed, UTF-8 characters and all ("91°30'N"); control
// characters and bytes that are no UTF-8 read '?'. At most kMaxEcho bytes,
// cut before a character that would cross that limit.
void AppendQuoted(std::string& message, std::string_view word) {
    message += '"';
    std::size_t i = 0;
    while (i < word.size()) {
        const auto c = static_cast<unsigned char>(word[i]);
        const std::size_t length = c < 0x80 ? 1 : Utf8CharacterLength(word.substr(i));
        const std::size_t taken = length == 0 ? 1 : length;  // a stray byte
        if (i + taken > kMaxEcho) break;
        // C0 and C1 controls (U+0080..U+009F are 0xC2 0x80..0x9F) and stray bytes.
        const bool shown = length > 1 ? !(c == 0xC2 && static_cast<unsigned char>(word[i + 1]) < 0xA0)
                                      : (length == 1 && c >= 0x20 && c != 0x7F);
        if (shown) {
            message.append(word.substr(i, taken));
        } else {
            message += '?';
        }
        i += taken;
    }
    if (i < word.size()) message += "...";
    message += '"';
}

void AppendJsonEscaped(OutputBuffer& out, std::string_view text) { AppendText(out, text, true, false); }

std::string CsvRow(std::span<const std::string> fields) {
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) row += ',';
        const std::size_t end = row.size();
        row.resize(end + 2 * fields[i].size() + 2);
        row.resize(static_cast<std::size_t>(WriteCsvField(row.data() + end, fields[i], false) - row.data()));
    }
    return row;
}

// Room for an item but its text: separator, quotes, name, colon and the longest number.
constexpr std::size_t kItemRoom = 4 + ItemLabel::kRoom + kShortestRoom;

char* QueryRunner::BeginItem(char* at, const ItemLabel& label) {
    *at = separator_;
    at += separatorSize_;
    if (format_ == Format::Csv) {  // the name goes to the header, the value to the row
        char* name = header_.Reserve(1 + ItemLabel::kRoom);
        *name = ',';
        name += separatorSize_;
        std::memcpy(name, label.bytes.data(), ItemLabel::kRoom);
        header_.Commit(name + label.size);
        separatorSize_ = 1;
        return at;
    }
    separatorSize_ = 1;
    const auto form = static_cast<std::size_t>(format_);
    std::memcpy(at, label.openings[form].data(), ItemLabel::kRoom);
    return at + label.openingSizes[form];
}

template <ItemLabel label>
void QueryRunner::Item(double value) {
    char* at = BeginItem(out_->Reserve(kItemRoom), label);
    if (!std::isfinite(value) && format_ != Format::Text) {
        if (format_ == Format::Json)
            at = std::copy_n("null", 4, at);  // JSON has no NaN or infinity; CSV leaves it empty
    } else {
        at = WriteShortest(at, value);
    }
    out_->Commit(at);
}

template <ItemLabel label>
void QueryRunner::Item(long long value) {
    char* at = BeginItem(out_->Reserve(kItemRoom), label);
    out_->Commit(std::to_chars(at, at + kShortestRoom, value).ptr);
}

template <ItemLabel label>
void QueryRunner::Item(bool value) {
    char* at = BeginItem(out_->Reserve(kItemRoom), label);
    const std::string_view text = value ? "true" : "false";
    out_->Commit(std::copy(text.begin(), text.end(), at));
}

template <ItemLabel label>
void QueryRunner::WordItem(std::string_view word) {
    char* at = BeginItem(out_->Reserve(kItemRoom + word.size()), label);
    if (format_ == Format::Json) *at++ = '"';
    at = std::copy(word.begin(), word.end(), at);
    if (format_ == Format::Json) *at++ = '"';
    out_->Commit(at);
}

template <ItemLabel label>
void QueryRunner::OptionalItem(const double* value) {
    if (value != nullptr) {
        Item<label>(*value);
    } else if (format_ == Format::Json) {
        out_->Commit(std::copy_n("null", 4, BeginItem(out_->Reserve(kItemRoom), label)));
    } else if (format_ == Format::Csv) {
        out_->Commit(BeginItem(out_->Reserve(kItemRoom), label));  // an empty field
    }
}

template <ItemLabel label>
void QueryRunner::TextItem(std::string_view displayBytes) {
    char* at = BeginItem(out_->Reserve(kItemRoom), label);
    if (format_ == Format::Csv) {
        out_->Commit(at);
        AppendCsvField(*out_, displayBytes, true);
        return;
    }
    *at++ = '"';
    out_->Commit(at);
    AppendText(*out_, displayBytes, format_ == Format::Json, format_ == Format::Json || !raw_);
    out_->Append('"');
}

Outcome QueryRunner::Run(std::span<const std::string_view> words, bool oneLine) {
    oneLine_ = oneLine;
    yearOutside_ = false;
    heightOutside_ = false;
    if (words.empty()) {
        error_ = "empty request: expected field, course, route or pixel";
        return Outcome::BadRequest;
    }
    const std::string_view command = words[0];
    const auto args = words.subspan(1);
    if (command == "field") return RunField(args);
    if (command == "course") return RunCourse(args);
    if (command == "route") return RunRoute(args);
    if (command == "pixel") return RunPixel(args);
    error_ = "unknown command ";
    AppendQuoted(error_, command);
    error_ += ": expected field, course, route or pixel";
    return Outcome::BadRequest;
}

Outcome QueryRunner::RunField(std::span<const std::string_view> args) {
    double v[kFieldArgs.size()] = {0.0, 0.0, 0.0, 0.0};
    if (!ParseArguments("field", kFieldArgs, kFieldRequired, args, v)) return Outcome::BadRequest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (!FitsTheModel("field", kFieldArgs[i], args[i], v[i])) return Outcome::BadRequest;
    }

    // A point inside the Earth's core is no question for a main field model.
    if (v[3] < model::kCoreHeightKm) {
        SetError("field", kFieldArgs[3].name, args[3], "is inside the Earth's core (below -6000 km)");
        return Outcome::BadRequest;
    }

    const double year = v[2];
    if (!TakeYear("field", args[2], year, v[3])) return Outcome::BadRequest;
    const bool valid = !yearOutside_ && !heightOutside_;
    const model::FieldModel* answering = nullptr;
    model::MagneticElements e{};
    const int status = model::ComputeMagneticElements(model_, v[0], v[1], v[3], year, e, &answering);
    BeginAnswer();
    Item<"status">(static_cast<long long>(status));
    Item<"valid">(valid);
    WordItem<"model">(answering->key.empty() ? kFileModelKey : answering->key);
    if (status != model::kStatusOk) {
        EndAnswer();
        return Outcome::ModelFailed;
    }
    Item<"declinationChange">(e.declinationChange);
    Item<"inclinationChange">(e.inclinationChange);
    Item<"horizontalChange">(e.horizontalChange);
    Item<"northChange">(e.northChange);
    Item<"eastChange">(e.eastChange);
    Item<"verticalChange">(e.verticalChange);
    Item<"totalChange">(e.totalChange);
    Item<"declinationDegrees">(static_cast<long long>(e.declinationDegrees));
    Item<"declinationMinutes">(e.declinationMinutes);
    Item<"declination">(model::SignedDeclination(e));
    Item<"inclinationDegrees">(static_cast<long long>(e.inclinationDegrees));
    Item<"inclinationMinutes">(e.inclinationMinutes);
    Item<"horizontalIntensity">(e.horizontalIntensity);
    Item<"northComponent">(e.northComponent);
    Item<"eastComponent">(e.eastComponent);
    Item<"verticalComponent">(e.verticalComponent);
    Item<"totalIntensity">(e.totalIntensity);
    TextItem<"variation">(model::FormatVariation(e.declinationDegrees, e.declinationMinutes));
    // How far to trust it: the model's published one-sigma errors, where it has them.
    const model::ErrorModel* errors = answering->errors;
    const double declinationError =
        errors != nullptr ? model::DeclinationUncertainty(*errors, e.horizontalIntensity) : 0.0;
    OptionalItem<"declinationUncertainty">(errors != nullptr ? &declinationError : nullptr);
    FixedErrorItems(errors);
    WordItem<"zone">(model::ZoneName(model::ZoneOf(e.horizontalIntensity)));
    EndAnswer();
    return Outcome::Answered;
}

Outcome QueryRunner::RunCourse(std::span<const std::string_view> args) {
    double v[kCourseArgs.size()];
    if (!ParseArguments("course", kCourseArgs, kCourseArgs.size(), args, v)) return Outcome::BadRequest;

    double course = 0.0;
    double distance = 0.0;
    geometry::GreatCircleCourseDistance(v[0], v[1], v[2], v[3], course, distance);
    BeginAnswer();
    Item<"course">(course);
    Item<"distance">(distance);
    TextItem<"courseText">(geometry::FormatCourse(course));
    TextItem<"distanceText">(geometry::FormatDistance(distance));
    EndAnswer();
    return Outcome::Answered;
}

Outcome QueryRunner::RunRoute(std::span<const std::string_view> args) {
    double v[kRouteArgs.size()];
    if (!ParseArguments("route", kRouteArgs, kRouteRequired, args, v)) return Outcome::BadRequest;
    const bool dated = args.size() > kRouteRequired;
    if (dated) {
        // The field is asked at the start, for the date.
        for (const std::size_t i : {std::size_t{1}, kRouteRequired}) {
            if (!FitsTheModel("route", kRouteArgs[i], args[i], v[i])) return Outcome::BadRequest;
        }
        if (!TakeYear("route", args[kRouteRequired], v[kRouteRequired], 0.0)) return Outcome::BadRequest;
    }

    double course = 0.0;
    double distance = 0.0;
    geometry::GreatCircleCourseDistance(v[0], v[1], v[2], v[3], course, distance);
    const EllipsoidRoute route = RouteOnEllipsoid(v[0], v[1], v[2], v[3]);
    BeginAnswer();
    Item<"greatCircleCourse">(course);
    Item<"greatCircleDistance">(distance);
    Item<"geodesicCourse">(route.geodesicCourse);
    Item<"geodesicDistance">(route.geodesicDistance);
    Item<"rhumbCourse">(route.rhumbCourse);
    Item<"rhumbDistance">(route.rhumbDistance);
    if (!dated) {
        EndAnswer();
        return Outcome::Answered;
    }
    // The compass courses: true course minus the declination at the start, at sea level.
    const double year = v[kRouteRequired];
    const model::FieldModel* answering = nullptr;
    model::MagneticElements e{};
    const int status = model::ComputeMagneticElements(model_, v[0], v[1], 0.0, year, e, &answering);
    Item<"status">(static_cast<long long>(status));
    Item<"valid">(!yearOutside_);
    WordItem<"model">(answering->key.empty() ? kFileModelKey : answering->key);
    if (status != model::kStatusOk) {
        EndAnswer();
        return Outcome::ModelFailed;
    }
    const double declination = model::SignedDeclination(e);
    Item<"declination">(declination);
    Item<"magneticCourse">(CourseDegrees(route.geodesicCourse - declination));
    Item<"magneticRhumbCourse">(CourseDegrees(route.rhumbCourse - declination));
    EndAnswer();
    return Outcome::Answered;
}

bool QueryRunner::FitsTheModel(std::string_view command, const Argument& name, std::string_view word, double value) {
    // A single-precision model rounds its arguments; beyond that range they
    // would become infinite there and every field NaN.
    if (!model_.singlePrecision || std::fabs(value) <= std::numeric_limits<float>::max()) return true;
    SetError(command, name.name, word, "is out of range for the model");
    return false;
}

bool QueryRunner::TakeYear(std::string_view command, std::string_view dateWord, double year, double heightKm) {
    // The model chosen for the date has no model to answer outside its years.
    if (model_.answersOnlyInItsYears && !model::CoversYear(model_, year)) {
        std::string what = "is outside ";
        AppendNumber(what, model_.firstYear);
        what += " to ";
        AppendNumber(what, model_.lastYear);
        what += ", the years of the built-in models (--model FILE for others)";
        SetError(command, "DATE", dateWord, what);
        return false;
    }
    fieldYear_ = year;
    fieldHeightKm_ = heightKm;
    yearOutside_ = !model::CoversYear(model_, year);
    heightOutside_ = !model::CoversHeight(model_, heightKm);
    if (yearOutside_ && outsideYears_ != nullptr) outsideYears_->fetch_add(1, std::memory_order_relaxed);
    return true;
}

Outcome QueryRunner::RunPixel(std::span<const std::string_view> args) {
    int p[kPixelArgs.size()];
    for (std::size_t i = 0; i < kPixelArgs.size() && i < args.size(); ++i) {
        const ParseError error = ParseInteger(args[i], p[i]);
        if (error != ParseError::None) {
            SetError("pixel", kPixelArgs[i], args[i],
                     error == ParseError::NotANumber ? "is not an integer" : Describe(error));
            return Outcome::BadRequest;
        }
    }
    std::string_view missing;
    if (args.size() < kPixelArgs.size()) missing = kPixelArgs[args.size()];
    if (!CheckCount("pixel", args, kPixelArgs.size(), kPixelArgs.size(), missing)) return Outcome::BadRequest;

    BeginAnswer();
    // Off the map a pixel has no position: the conversion would extrapolate
    // past the poles, and the dialog ignores the point altogether.
    const bool inside = geometry::IsInsideMap(geometry::kWorldMap, p[0], p[1]) != 0;
    Item<"inside">(inside);
    if (inside) {
        double latitude = 0.0;
        double longitude = 0.0;
        geometry::PixelToGeographic(geometry::kWorldMap, p[0], p[1], latitude, longitude, text_);
        Item<"latitude">(latitude);
        Item<"longitude">(longitude);
        TextItem<"text">(text_);
    }
    EndAnswer();
    return Outcome::Answered;
}

bool QueryRunner::CheckCount(std::string_view command, std::span<const std::string_view> args, std::size_t required,
                             std::size_t most, std::string_view firstMissing) {
    if (args.size() < required) {
        error_.assign(command);
        error_ += ": ";
        error_ += firstMissing;
        error_ += " is missing";
        return false;
    }
    if (args.size() > most) {
        error_.assign(command);
        error_ += ": extra argument ";
        AppendQuoted(error_, args[most]);
        return false;
    }
    return true;
}

bool QueryRunner::ParseArguments(std::string_view command, std::span<const Argument> names, std::size_t required,
                                 std::span<const std::string_view> args, double* values) {
    for (std::size_t i = 0; i < names.size() && i < args.size(); ++i) {
        ParseError error = ParseError::None;
        switch (names[i].kind) {
        case ArgumentKind::Latitude: error = ParseLatitude(args[i], values[i]); break;
        case ArgumentKind::Longitude: error = ParseLongitude(args[i], values[i]); break;
        case ArgumentKind::Date: error = ParseDate(args[i], today_, values[i]); break;
        case ArgumentKind::Real: error = ParseReal(args[i], values[i]); break;
        }
        if (error != ParseError::None) {
            SetError(command, names[i].name, args[i], Describe(error));
            // "51.5,-0.1,1997": one word where three were meant.
            if (error == ParseError::NotANumber && args[i].find(',') != std::string_view::npos)
                error_ += " (numbers are separated by blanks and use a decimal point)";
            return false;
        }
    }
    std::string_view missing;
    if (args.size() < required) missing = names[args.size()].name;
    return CheckCount(command, args, required, names.size(), missing);
}

std::string QueryRunner::Warning() const {
    std::string warning;
    if (!yearOutside_ && !heightOutside_) return warning;
    // The model's name as one line: a file's header may hold any byte.
    std::string name = "the model \"";
    for (const char c : model_.name) name += (c >= 0 && c < 0x20) || c == 0x7F ? '?' : c;
    name += '"';
    if (heightOutside_) {
        warning = "warning: the height ";
        AppendNumber(warning, fieldHeightKm_);
        warning += " km lies outside ";
        AppendNumber(warning, model_.lowestHeightKm);
        warning += " to ";
        AppendNumber(warning, model_.highestHeightKm);
        warning += " km, the heights of " + name;
        if (!yearOutside_) return warning;
        warning += "\n";
    }
    const double year = fieldYear_;
    warning += "warning: the date ";
    AppendNumber(warning, year);
    warning += " lies outside ";
    AppendNumber(warning, model_.firstYear);
    warning += " to ";
    AppendNumber(warning, model_.lastYear);
    warning += ", the years of " + name;
    for (const model::BuiltInModel& row : model::BuiltInModels()) {
        const model::FieldModel& other = row.model();
        // The model of a single date, not the one that chooses among them.
        if (&other != &model_ && !other.answersOnlyInItsYears && model::CoversYear(other, year)) {
            warning += "; --model ";
            warning += row.key;
            warning += " covers it";
            return warning;
        }
    }
    warning += "; no built-in model covers it";
    return warning;
}

void QueryRunner::SetError(std::string_view command, std::string_view name, std::string_view word,
                           std::string_view what) {
    error_.assign(command);
    error_ += ": ";
    error_ += name;
    error_ += ' ';
    AppendQuoted(error_, word);
    error_ += ' ';
    error_ += what;
}

void QueryRunner::FixedErrorItems(const model::ErrorModel* errors) {
    // One block for models without errors, one for the last model with them:
    // a batch whose dates move between IGRF-14 and WMM2025 writes each once.
    FixedErrorBlock& block = fixedErrors_[errors != nullptr ? 1 : 0];
    if (!block.written || errors != block.errors || oneLine_ != block.oneLine) {
        OutputBuffer* const answer = out_;
        const std::size_t names = header_.Text().size();
        OutputBuffer items;
        out_ = &items;
        OptionalItem<"inclinationUncertainty">(errors != nullptr ? &errors->inclination : nullptr);
        OptionalItem<"horizontalUncertainty">(errors != nullptr ? &errors->horizontal : nullptr);
        OptionalItem<"northUncertainty">(errors != nullptr ? &errors->north : nullptr);
        OptionalItem<"eastUncertainty">(errors != nullptr ? &errors->east : nullptr);
        OptionalItem<"verticalUncertainty">(errors != nullptr ? &errors->down : nullptr);
        OptionalItem<"totalUncertainty">(errors != nullptr ? &errors->total : nullptr);
        out_ = answer;
        block = {true, errors, oneLine_, std::string(items.Text()), std::string(header_.Text().substr(names))};
    } else {
        header_.Append(block.names);
    }
    out_->Append(block.items);
}

void QueryRunner::SetLeadingColumns(std::string_view names, std::span<const std::string> fields) {
    leadingNames_ = names;
    leadingFields_ = fields;
}

void QueryRunner::ErrorAnswer(std::string_view message, long long line) {
    BeginAnswer();
    // The message is UTF-8 already (AppendQuoted keeps the words as typed).
    char* at = BeginItem(out_->Reserve(kItemRoom), "error");
    if (format_ == Format::Csv) {
        out_->Commit(at);
        AppendCsvField(*out_, message, false);
    } else {
        *at++ = '"';
        out_->Commit(at);
        AppendJsonEscaped(*out_, message);
        out_->Append('"');
    }
    Item<"line">(line);
    EndAnswer();
}

void QueryRunner::BeginAnswer() {
    separator_ = format_ == Format::Text ? (oneLine_ ? ' ' : '\n') : ',';
    separatorSize_ = 0;
    if (format_ == Format::Json) out_->Append('{');
    if (format_ != Format::Csv) return;
    row_.Clear();
    header_.Clear();
    header_.Append(leadingNames_);
    for (std::size_t i = 0; i < leadingFields_.size(); ++i) {
        if (i > 0) row_.Append(',');
        AppendCsvField(row_, leadingFields_[i], false);
        separatorSize_ = 1;
    }
}

void QueryRunner::EndAnswer() {
    if (format_ == Format::Json) out_->Append('}');
    if (format_ != Format::Csv) {
        out_->Append('\n');
        return;
    }
    // A header row before the first answer and wherever the kind of answer changes.
    const std::string_view header = header_.Text();
    if (header != headers_.last) {
        if (headers_.last.empty()) {
            headers_.first = header;
            headers_.firstAt = sink_.Text().size();
        }
        sink_.Append(header);
        sink_.Append(kCsvLineEnd);
        headers_.last = header;
    }
    sink_.Append(row_.Text());
    sink_.Append(kCsvLineEnd);
}

}  // namespace query

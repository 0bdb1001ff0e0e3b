#include "app/ModelText.h"

#include <charconv>
#include <cstddef>

namespace {

constexpr const char* kReferenceRangeText = "This version of Dexlin only accepts years between 1995 and 2000.";
constexpr std::size_t kMaxShownName = 40;  // a model's name in the notice, in characters

// A year as short as it reads back: 2025, 2027.5. The same in every locale.
std::string YearText(double year) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, year);
    return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

// A name from a coefficient file as the notice can show it: printable ASCII,
// every other byte '?', cut with "..." past kMaxShownName characters.
std::string ShownName(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size() && i < kMaxShownName; ++i)
        out += name[i] >= ' ' && name[i] <= '~' ? name[i] : '?';
    if (name.size() > kMaxShownName) out += "...";
    return out;
}

}  // namespace

bool IsReferenceField1995(const model::FieldModel& fieldModel) { return &fieldModel == &model::ReferenceField1995(); }

std::string YearRangeText(const model::FieldModel& fieldModel) {
    if (IsReferenceField1995(fieldModel)) return kReferenceRangeText;
    return "This version of Dexlin only accepts years between " + YearText(fieldModel.firstYear) + " and " +
           YearText(fieldModel.lastYear) + ".";
}

std::string AboutNotice(const model::FieldModel& fieldModel) {
    return "Dexlin 1.0 - magnetic model: " + ShownName(fieldModel.name) + ", valid " + YearText(fieldModel.firstYear) +
           " to " + YearText(fieldModel.lastYear) + ".";
}

std::string ModelTitleName(const model::FieldModel& fieldModel, double year) {
    return ShownName(model::CoversYear(fieldModel, year) ? model::PieceFor(fieldModel, year).name : fieldModel.name);
}

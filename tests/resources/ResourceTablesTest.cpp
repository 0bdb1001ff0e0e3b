// The dialog layouts, strings and version record, field by field.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "resources/DexlinResources.h"

namespace {

using platform::ControlTemplate;
using platform::DialogTemplate;

// Looked up by the numbers the window layer is given, not by the constants.
const DialogTemplate& Dialog(int id) {
    for (const auto& d : DexlinResources().dialogs)
        if (d.id == id) return *d.layout;
    ADD_FAILURE() << "no dialog " << id;
    static const DialogTemplate none{};
    return none;
}

const char* String(int id) {
    for (const auto& s : DexlinResources().strings)
        if (s.id == id) return s.text;
    return nullptr;
}

struct ExpectedControl {
    int id;
    const char* className;
    std::uint32_t style;
    int x, y, cx, cy;
    const char* text;
};

void ExpectControls(const DialogTemplate& d, std::initializer_list<ExpectedControl> expected) {
    ASSERT_EQ(d.controls.size(), expected.size());
    std::size_t i = 0;
    for (const auto& e : expected) {
        const ControlTemplate& c = d.controls[i++];
        SCOPED_TRACE(e.text);
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.className, e.className);
        EXPECT_EQ(c.style, e.style);
        EXPECT_EQ(c.exStyle, 0u);
        EXPECT_EQ(c.helpId, 0u);
        EXPECT_EQ(c.x, e.x);
        EXPECT_EQ(c.y, e.y);
        EXPECT_EQ(c.cx, e.cx);
        EXPECT_EQ(c.cy, e.cy);
        EXPECT_EQ(c.text, e.text);
    }
}

TEST(MainDialog, HeaderPlacementAndFont) {
    const DialogTemplate& d = Dialog(102);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.exStyle, 0x00040000u);
    EXPECT_EQ(d.style, 0x90C800C0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 425);
    EXPECT_EQ(d.cy, 279);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 0);
    EXPECT_FALSE(d.italic);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.typeface, "MS Sans Serif");
}

TEST(MainDialog, TitleKeepsItsBlanksAndAmpersand) {
    const std::string& title = Dialog(102).title;
    EXPECT_EQ(title.size(), 104u);
    EXPECT_EQ(title.substr(0, 7), "Dexlin.");
    EXPECT_EQ(title.substr(7, 15), std::string(15, ' '));
    EXPECT_NE(title[22], ' ');
    EXPECT_EQ(title.substr(22), "Click the left mouse button over a start point & right button over a destination. ");
    EXPECT_EQ(title.back(), ' ');
}

TEST(MainDialog, ButtonsInTabOrder) {
    ExpectControls(Dialog(102), {
                                    {1000, "button", 0x50010001u, 368, 240, 50, 14, "&About"},
                                    {57670, "button", 0x50010000u, 368, 258, 50, 14, "&Help"},
                                });
}

TEST(AboutDialog, HeaderPlacementAndFont) {
    const DialogTemplate& d = Dialog(100);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.exStyle, 0u);
    EXPECT_EQ(d.style, 0x80C800C0u);  // not visible until run
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 436);
    EXPECT_EQ(d.cy, 273);
    EXPECT_EQ(d.title, "Other products.");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.typeface, "MS Sans Serif");
}

TEST(AboutDialog, NoticeOkAndPictureButton) {
    const DialogTemplate& d = Dialog(100);
    ASSERT_EQ(d.controls.size(), 3u);
    const std::string notice = d.controls[0].text;
    ExpectControls(d, {
                          {-1, "static", 0x50020080u, 3, 263, 292, 8, notice.c_str()},
                          {1, "button", 0x50030001u, 393, 257, 32, 14, "OK"},
                          {1001, "button", 0x5801000Bu, 0, 0, 32, 13, "ADVERT"},
                      });
    // One line of printable Latin-1 naming the program and its model's range.
    EXPECT_FALSE(notice.empty());
    EXPECT_TRUE(std::all_of(notice.begin(), notice.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x20 && c != 0x7F; }));
    EXPECT_NE(notice.find("Dexlin"), std::string::npos);
    EXPECT_NE(notice.find("1995"), std::string::npos);
}

TEST(Strings, OwnAndFrameworkMessagesExactly) {
    struct Row {
        int id;
        const char* text;
    };
    const Row rows[] = {
        {101, "&About Dexlin..."},
        {61703, "Failed to launch help."},
        {61474, "A required resource was unavailable."},
        {61475, "Out of memory."},
        {61704, "Internal application error."},
        {61705, "Command failed."},
    };
    for (const Row& r : rows) {
        const char* text = String(r.id);
        ASSERT_NE(text, nullptr) << r.id;
        EXPECT_STREQ(text, r.text) << r.id;
    }
    EXPECT_EQ(DexlinResources().strings.size(), std::size(rows));
    // No application-title string: the framework names the program after its file.
    EXPECT_EQ(String(57344), nullptr);
}

TEST(ResourceSet, PicturesAndIconGroupAreListed) {
    const auto& set = DexlinResources();
    ASSERT_EQ(set.bitmaps.size(), 2u);
    EXPECT_EQ(set.bitmaps[0].id, 130);
    EXPECT_STREQ(set.bitmaps[0].name, "");
    EXPECT_STREQ(set.bitmaps[1].name, "ADVERTU");
    ASSERT_EQ(set.icons.size(), 1u);
    EXPECT_EQ(set.icons[0].id, 128);
    EXPECT_EQ(set.icons[0].imagePaths.size(), 2u);
    ASSERT_EQ(set.dialogs.size(), 2u);
}

TEST(VersionRecord, FixedPartStringsAndTranslation) {
    const resources::VersionRecord& v = DexlinVersion();
    EXPECT_EQ(v.fileVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(v.productVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 1}));
    EXPECT_EQ(v.flagsMask, 0x3Fu);
    EXPECT_EQ(v.flags, 0u);
    EXPECT_EQ(v.fileOs, 4u);
    EXPECT_EQ(v.fileType, 1u);
    EXPECT_EQ(v.fileSubtype, 0u);
    EXPECT_EQ(v.fileDate, 0u);
    EXPECT_EQ(v.blockName, "040904B0");
    EXPECT_EQ(v.language, 0x0409);
    EXPECT_EQ(v.codePage, 1200);
    const std::pair<const char*, const char*> expected[] = {
        {"CompanyName", ""},
        {"FileDescription", "DEXLIN MFC Application"},
        {"FileVersion", "1, 0, 0, 1"},
        {"InternalName", "DEXLIN"},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "DEXLIN.EXE"},
        {"ProductName", "DEXLIN Application"},
        {"ProductVersion", "1, 0, 0, 1"},
    };
    ASSERT_EQ(v.strings.size(), std::size(expected));
    for (std::size_t i = 0; i < v.strings.size(); ++i) {
        EXPECT_EQ(v.strings[i].key, expected[i].first);
        EXPECT_EQ(v.strings[i].value, expected[i].second);
    }
}

}  // namespace

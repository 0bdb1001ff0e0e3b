// The program's resources as data: dialog layouts in dialog units, the string
// table, the pictures compiled into Qt's resource system, the version record.
#include "resources/DexlinResources.h"

#include <array>

#include "resources/resource.h"

namespace {

using namespace platform;

constexpr int kDialogFontPoints = 8;
constexpr int kDefaultCharset = 1;
constexpr const char* kDialogTypeface = "MS Sans Serif";

// The main map dialog: the client area is the map picture less its last row.
// clang-format off
const DialogTemplate kMainDialog{
    .extended = true,
    .helpId = 0,
    .exStyle = WS_EX_APPWINDOW,
    .style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    .x = 0, .y = 0, .cx = 425, .cy = 279,
    // "Dexlin." then 15 blanks, the instruction and one trailing blank.
    .title = "Dexlin.               "
             "Click the left mouse button over a start point & right button over a destination. ",
    .pointSize = kDialogFontPoints,
    .weight = 0,
    .italic = false,
    .charset = kDefaultCharset,
    .typeface = kDialogTypeface,
    .controls = {
        {IDC_ABOUT, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
         368, 240, 50, 14, "&About"},
        {ID_HELP, "button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0,
         368, 258, 50, 14, "&Help"},
    },
};
// clang-format on

// The about box: its picture button takes the bitmap named after its text
// ("ADVERT" + "U") and covers the top; the notice and OK lie below it.
// clang-format off
const DialogTemplate kAboutDialog{
    .extended = false,
    .helpId = 0,
    .exStyle = 0,
    .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    .x = 0, .y = 0, .cx = 436, .cy = 273,
    .title = "Other products.",
    .pointSize = kDialogFontPoints,
    .weight = 0,
    .italic = false,
    .charset = kDefaultCharset,
    .typeface = kDialogTypeface,
    .controls = {
        {-1, "static", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX, 0, 0, 3, 263, 292, 8,
         "Dexlin 1.0 - magnetic model: 1995.0 reference field, valid 1995 to 2000."},
        {IDOK, "button", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
         393, 257, 32, 14, "OK"},
        {IDC_ADVERT, "button", WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_OWNERDRAW, 0, 0,
         0, 0, 32, 13, "ADVERT"},
    },
};
// clang-format on

const std::array kDialogs{
    DialogResource{IDD_MAIN, &kMainDialog},
    DialogResource{IDD_ABOUT, &kAboutDialog},
};

// The program's own string and the framework messages it can show.
const std::array kStrings{
    StringResource{IDS_ABOUT_MENU, "&About Dexlin..."},
    StringResource{IDS_RESOURCE_UNAVAILABLE, "A required resource was unavailable."},
    StringResource{IDS_OUT_OF_MEMORY, "Out of memory."},
    StringResource{IDS_FAILED_TO_LAUNCH_HELP, "Failed to launch help."},
    StringResource{IDS_INTERNAL_ERROR, "Internal application error."},
    StringResource{IDS_COMMAND_FAILED, "Command failed."},
};

const std::array kBitmaps{
    BitmapResource{IDB_WORLDMAP, "", ":/pictures/worldmap.bmp", ":/pictures/worldmap@2x.png"},
    BitmapResource{0, "ADVERTU", ":/pictures/advertu.bmp"},
};

// Images of icon group 128, largest first; PNG so that any Qt build loads them.
constexpr std::array<const char*, 2> kAppIconImages{
    ":/pictures/dexlin-32.png",
    ":/pictures/dexlin-16.png",
};

const std::array kIcons{
    IconResource{IDR_APPICON, kAppIconImages},
};

const ResourceSet kResourceSet{kDialogs, kStrings, kBitmaps, kIcons};

constexpr std::array kVersionStrings{
    resources::VersionString{"CompanyName", ""},
    resources::VersionString{"FileDescription", "DEXLIN MFC Application"},
    resources::VersionString{"FileVersion", "1, 0, 0, 1"},
    resources::VersionString{"InternalName", "DEXLIN"},
    resources::VersionString{"LegalTrademarks", ""},
    resources::VersionString{"OriginalFilename", "DEXLIN.EXE"},
    resources::VersionString{"ProductName", "DEXLIN Application"},
    resources::VersionString{"ProductVersion", "1, 0, 0, 1"},
};

const resources::VersionRecord kVersion{
    .fileVersion = {1, 0, 0, 1},
    .productVersion = {1, 0, 0, 1},
    .flagsMask = 0x3F,
    .flags = 0,
    .fileOs = 0x4,
    .fileType = 1,
    .fileSubtype = 0,
    .fileDate = 0,
    .blockName = "040904B0",
    .strings = kVersionStrings,
    .language = 0x0409,
    .codePage = 1200,
};

}  // namespace

const platform::ResourceSet& DexlinResources() { return kResourceSet; }

const resources::VersionRecord& DexlinVersion() { return kVersion; }

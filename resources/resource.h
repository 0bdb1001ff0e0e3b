// Resource and control ids shared by the resources and the dialog code.
#pragma once

// Dialogs.
inline constexpr int IDD_ABOUT = 100;
inline constexpr int IDD_MAIN = 102;

// Pictures and the icon group.
inline constexpr int IDR_APPICON = 128;
inline constexpr int IDB_WORLDMAP = 130;

// The program's own string: the system-menu entry.
inline constexpr int IDS_ABOUT_MENU = 101;

// Controls.
inline constexpr int IDOK = 1;
inline constexpr int IDC_ABOUT = 1000;
inline constexpr int IDC_ADVERT = 1001;
inline constexpr int ID_HELP = 57670;

// System-menu command of the about entry.
inline constexpr int IDM_ABOUT = 0x0010;

// Messages the framework shows in message boxes.
inline constexpr int IDS_FAILED_TO_LAUNCH_HELP = 61703;
inline constexpr int IDS_RESOURCE_UNAVAILABLE = 61474;
inline constexpr int IDS_OUT_OF_MEMORY = 61475;
inline constexpr int IDS_INTERNAL_ERROR = 61704;
inline constexpr int IDS_COMMAND_FAILED = 61705;

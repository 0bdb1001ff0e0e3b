// Small value types and constants of the windowing services, so dialog code
// reads in the usual terms (points, rectangles, colour values, message ids).
#pragma once

#include <cstdint>

class QIcon;

namespace platform {

using BOOL = int;
using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// An icon is a handle to a shared, never destroyed picture set.
using HICON = const QIcon*;
using HCURSOR = HICON;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

// Left and top inside, right and bottom outside.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};

// A point travels in the second parameter as two signed 16-bit halves.
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(static_cast<std::uint16_t>(lo)) |
                               (static_cast<std::uint32_t>(static_cast<std::uint16_t>(hi)) << 16));
}
constexpr CPoint PointFromLParam(LPARAM l) {
    return {static_cast<std::int16_t>(l & 0xFFFF), static_cast<std::int16_t>((l >> 16) & 0xFFFF)};
}

// Messages.
inline constexpr UINT WM_DESTROY = 0x0002;
// To the dialog when one of its regions takes the focus; wParam: the region's id.
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_KEYDOWN = 0x0100;  // wParam: virtual key; lParam: MK_SHIFT, MK_CONTROL
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;

// Notification of a push button in WM_COMMAND.
inline constexpr UINT BN_CLICKED = 0;

// Key and button state flags of the mouse messages.
// Virtual keys of WM_KEYDOWN; the letters are their capitals ('A' to 'Z').
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;

inline constexpr UINT MK_LBUTTON = 0x0001;
inline constexpr UINT MK_RBUTTON = 0x0002;
inline constexpr UINT MK_SHIFT = 0x0004;
inline constexpr UINT MK_CONTROL = 0x0008;
inline constexpr UINT MK_MBUTTON = 0x0010;

// Dialog results and the commands that end a dialog by default.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Commands that a dialog passes on to the application when it has no handler:
// from kFirstAppCommand up to, not including, kEndAppCommand.
inline constexpr UINT kFirstAppCommand = 0x8000;
inline constexpr UINT kEndAppCommand = 0xF000;

// System commands.
inline constexpr UINT SC_CLOSE = 0xF060;

// Help: a dialog's context number is its help id (its template id) above
// this base; the engine's command that opens a file at such a context.
inline constexpr UINT HID_BASE_RESOURCE = 0x20000;
inline constexpr UINT HELP_CONTEXT = 0x0001;

// The framework's own message texts, looked up in the program's strings.
inline constexpr UINT IDP_FAILED_TO_LAUNCH_HELP = 0xF107;

// Menu item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// Icon sizes of SetIcon.
inline constexpr BOOL ICON_SMALL = 0;
inline constexpr BOOL ICON_BIG = 1;

// System metrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
int GetSystemMetrics(int index);

// Raster operation of BitBlt: plain source copy.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020u;

// Message box types and results.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONHAND = 0x0010;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONEXCLAMATION = 0x0030;
inline constexpr UINT MB_ICONASTERISK = 0x0040;
inline constexpr UINT MB_ICONMASK = 0x00F0;

}  // namespace platform

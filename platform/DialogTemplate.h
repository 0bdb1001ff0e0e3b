// A dialog layout as data: what the layer builds a modal dialog from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Window and control style bits, with their customary values.
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_CHILD = 0x40000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000u;
inline constexpr std::uint32_t DS_MODALFRAME = 0x00000080u;
inline constexpr std::uint32_t DS_SETFONT = 0x00000040u;
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x00000000u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x00000001u;
inline constexpr std::uint32_t BS_OWNERDRAW = 0x0000000Bu;
inline constexpr std::uint32_t SS_NOPREFIX = 0x00000080u;

// One control: positions and sizes in dialog units.
struct ControlTemplate {
    int id;                 // -1 for a control no code refers to
    std::string className;  // "button" or "static"
    std::uint32_t style;
    std::uint32_t exStyle;
    std::uint32_t helpId;
    int x, y, cx, cy;
    std::string text;
};

// One dialog: positions and sizes in dialog units; texts in Latin-1.
struct DialogTemplate {
    bool extended;  // extended template (carries help ids and a font weight)
    std::uint32_t helpId;
    std::uint32_t exStyle;
    std::uint32_t style;
    int x, y, cx, cy;
    std::string title;
    int pointSize;
    int weight;
    bool italic;
    int charset;
    std::string typeface;
    std::vector<ControlTemplate> controls;
};

}  // namespace platform

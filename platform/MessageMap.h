// Message tables: a dialog binds messages to its member handlers with a
// static array of entries, e.g.
//
//   const platform::MessageEntry CMyDlg::kMessageMap[] = {
//       platform::WmPaint<&CMyDlg::OnPaint>(),
//       platform::BnClicked<IDC_GO, &CMyDlg::OnGo>(),
//   };
//
// and returns it from GetMessageMap(). The dialog searches its table first;
// a message without an entry gets the default processing of CDialog.
#pragma once

#include "platform/Types.h"

namespace platform {

class CDialog;

struct MessageEntry {
    UINT message;
    UINT code;  // WM_COMMAND only: notification code
    UINT id;    // WM_COMMAND only: control id
    LRESULT (*invoke)(CDialog& dialog, WPARAM wParam, LPARAM lParam);
};

namespace detail {
template <class M>
struct HandlerOf;
template <class C, class R, class... A>
struct HandlerOf<R (C::*)(A...)> {
    using Class = C;
};
template <auto H>
using ClassOf = typename HandlerOf<decltype(H)>::Class;
}  // namespace detail

// void OnSysCommand(UINT nID, LPARAM lParam)
template <auto H>
constexpr MessageEntry WmSysCommand() {
    return {WM_SYSCOMMAND, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)(static_cast<UINT>(w), l);
                return 0;
            }};
}

// void OnPaint()
template <auto H>
constexpr MessageEntry WmPaint() {
    return {WM_PAINT, 0, 0, [](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)();
                return 0;
            }};
}

// HCURSOR OnQueryDragIcon()
template <auto H>
constexpr MessageEntry WmQueryDragIcon() {
    return {WM_QUERYDRAGICON, 0, 0, [](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                return reinterpret_cast<LRESULT>((static_cast<detail::ClassOf<H>&>(d).*H)());
            }};
}

// void OnDestroy()
template <auto H>
constexpr MessageEntry WmDestroy() {
    return {WM_DESTROY, 0, 0, [](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)();
                return 0;
            }};
}

// void OnXxx(UINT nFlags, CPoint point): the mouse messages, client coordinates.
template <UINT Message, auto H>
constexpr MessageEntry WmMouse() {
    return {Message, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)(static_cast<UINT>(w), PointFromLParam(l));
                return 0;
            }};
}
template <auto H>
constexpr MessageEntry WmLButtonDown() {
    return WmMouse<WM_LBUTTONDOWN, H>();
}
template <auto H>
constexpr MessageEntry WmRButtonDown() {
    return WmMouse<WM_RBUTTONDOWN, H>();
}
template <auto H>
constexpr MessageEntry WmMouseMove() {
    return WmMouse<WM_MOUSEMOVE, H>();
}

// void OnKeyDown(UINT nChar, UINT nFlags): a key pressed in a region that
// takes the focus; nFlags holds MK_SHIFT and MK_CONTROL.
template <auto H>
constexpr MessageEntry WmKeyDown() {
    return {WM_KEYDOWN, 0, 0, [](CDialog& d, WPARAM w, LPARAM l) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)(static_cast<UINT>(w), static_cast<UINT>(l));
                return 0;
            }};
}

// void OnSetFocus(int nRegion): a region of the dialog has taken the focus.
template <auto H>
constexpr MessageEntry WmSetFocus() {
    return {WM_SETFOCUS, 0, 0, [](CDialog& d, WPARAM w, LPARAM) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)(static_cast<int>(w));
                return 0;
            }};
}

// void OnXxx(): WM_COMMAND with BN_CLICKED from control Id.
template <UINT Id, auto H>
constexpr MessageEntry BnClicked() {
    return {WM_COMMAND, BN_CLICKED, Id, [](CDialog& d, WPARAM, LPARAM) -> LRESULT {
                (static_cast<detail::ClassOf<H>&>(d).*H)();
                return 0;
            }};
}

// WM_COMMAND's first parameter: control id and notification code.
constexpr WPARAM MAKEWPARAM(UINT id, UINT code) { return static_cast<WPARAM>((id & 0xFFFF) | ((code & 0xFFFF) << 16)); }

}  // namespace platform

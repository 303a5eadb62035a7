// Win32 values the program's parts share: its own messages and the preview window's frame.
#pragma once

#include <windows.h>

namespace lumetta {

// The program's own messages.
constexpr UINT WM_PREVIEW_CLOSED = WM_USER + 84;     // to the main window; wParam = slot index
constexpr UINT WM_PREVIEW_SHOWMENU = WM_USER + 85;   // to a preview, from its overlay
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 101;       // tray callback; wParam = TRAY_ICON_ID
constexpr UINT WM_INSTANCE_COMMAND = WM_APP + 0x582; // between processes; wParam = CommandFlags
static_assert(WM_PREVIEW_CLOSED == 0x454 && WM_TRAY_NOTIFY == 0x465);
static_assert(WM_INSTANCE_COMMAND == 0x8582);

// The frame every preview window has; topmost only with KeepOnTop. The frame adjustment uses the
// topmost style, which does not change the frame's size.
constexpr DWORD PREVIEW_STYLE = WS_POPUP | WS_VISIBLE | WS_THICKFRAME;
constexpr DWORD PREVIEW_EX_STYLE_TOPMOST = WS_EX_TOPMOST;
static_assert(PREVIEW_STYLE == 0x90040000u);

} // namespace lumetta

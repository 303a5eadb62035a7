// Popup menus as the user walks them. Wine keeps a menu's items in the process that made it:
// another process gets the menu's handle (MN_GETHMENU) but neither the items' count nor their
// texts (GetMenuItemCount answers -1, GetMenuStringW fails with ERROR_MENU_ITEM_NOT_FOUND), nor
// an accessible object for the menu window. So a menu is walked with the keys, and what each
// item does shows which it is.
#pragma once

#include "rig.h"

namespace e2e {

// The visible popup menu of a process, or null.
HWND ShownMenu(DWORD pid);

// A right click at a point, then the item chosen with the keys (0 the first, kLastItem the
// last) and Enter; true once the menu has gone.
constexpr int kLastItem = -1;
bool ChooseFromMenu(DWORD pid, POINT at, int item);

// Waits until the tray window is on top at the icon; what is on top there then. A window just
// closed may still cover the icon for a moment, and Wine may stack its tray window, shown again,
// under the fake shell's desktop window: that one is raised again.
HWND UncoverTrayIcon(POINT icon);
// A right click on the tray icon of a process once nothing covers it, then these keys.
void ChooseFromTrayMenu(DWORD pid, POINT icon, std::initializer_list<WORD> keys);

} // namespace e2e

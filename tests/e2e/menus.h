// Popup menus as the user sees them. Wine keeps a menu's items in the process that made it:
// another process gets the menu's handle (MN_GETHMENU) but neither the items' count nor their
// texts (GetMenuItemCount answers -1, GetMenuStringW fails with ERROR_MENU_ITEM_NOT_FOUND), nor
// an accessible object for the menu window. So a menu is compared by its pixels with one that
// this process makes of the expected items, and walked with the keys.
#pragma once

#include "rig.h"

namespace e2e {

struct WindowPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top-down
    bool operator==(const WindowPicture& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
};

// A window's pixels as it has drawn them, frame included. Under the rig's compositing manager a
// window's device context gives its own pixels to any process, even where it is covered.
WindowPicture PictureOf(HWND window);

// A popup menu of these labels (null: a separator), the default one bold, as this process shows
// it at a screen point once it is drawn; closed again. Empty when it did not show.
WindowPicture MenuPicture(const std::vector<const wchar_t*>& labels, const wchar_t* defaultLabel,
                          POINT at);

// The visible popup menu of a process, or null.
HWND ShownMenu(DWORD pid);

// A right click at a point opens a popup menu of the process there, and it shows these labels
// with the default one bold, pixel for pixel as this process draws them; closed with Escape.
void ExpectMenuAt(DWORD pid, POINT at, const std::vector<const wchar_t*>& labels,
                  const wchar_t* defaultLabel);

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

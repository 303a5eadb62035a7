#include "menus.h"

#include <gtest/gtest.h>

#include "fixtures.h"
#include "input.h"
#include "screen.h"
#include "window.h"

namespace e2e {

HWND ShownMenu(DWORD pid) {
    return FirstVisible(FindTopLevel(L"#32768", nullptr, pid));
}

bool ChooseFromMenu(DWORD pid, POINT at, int item) {
    Click(at.x, at.y, 3);
    if (!WaitPopupMenu(pid)) return false;
    // With nothing selected yet, Down selects the first item and Up the last.
    for (int i = 0; i <= item; ++i)
        KeyPress(VK_DOWN);
    if (item == kLastItem) KeyPress(VK_UP);
    KeyPress(VK_RETURN);
    return WaitUntil([&] { return !ShownMenu(pid); }, kWindowTimeoutMs);
}

HWND UncoverTrayIcon(POINT icon) {
    HWND cover = nullptr;
    WaitUntil(
        [&] {
            cover = GetAncestor(WindowFromPoint(icon), GA_ROOT);
            if (cover == ShellWindow()) WaitTrayVisible(true); // raises it again
            const HWND tray = TrayWindow();
            if (!cover || cover != tray) return false;
            // On top for Win32 is not yet on top on the X server, where the click goes: the
            // screen must show the icon. If not, a real move in the order restacks it there.
            const Screenshot shot = TakeScreenshot("tray-uncovered");
            const bool drawn = shot.Valid() && ShowsTrayIcon(shot);
            DiscardScreenshot(shot);
            if (!drawn) {
                for (HWND after : {HWND_BOTTOM, HWND_TOP})
                    SetWindowPos(tray, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                RedrawWindow(tray, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            }
            return drawn;
        },
        kWindowTimeoutMs);
    return cover;
}

void ChooseFromTrayMenu(DWORD pid, POINT icon, std::initializer_list<WORD> keys) {
    const HWND cover = UncoverTrayIcon(icon);
    ASSERT_EQ(cover, TrayWindow())
        << "the tray icon stays covered by \"" << Utf8(Inspect(cover).title) << "\"";
    Click(icon.x, icon.y, 3);
    ASSERT_TRUE(WaitPopupMenu(pid)) << "no tray menu";
    for (WORD key : keys)
        KeyPress(key);
}

} // namespace e2e

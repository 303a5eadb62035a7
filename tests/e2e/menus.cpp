#include "menus.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include <gtest/gtest.h>

#include "app/base/handles_win.h"
#include "fixtures.h"
#include "input.h"
#include "screen.h"
#include "window.h"

namespace e2e {

WindowPicture PictureOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    WindowPicture picture{rect.right - rect.left, rect.bottom - rect.top, {}};
    // 32 bits a pixel, rows top-down.
    BITMAPINFO info{
        {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
        {}};
    void* bits = nullptr;
    const HDC source = GetWindowDC(window);
    const lumetta::OwnedMemoryDc memory(CreateCompatibleDC(source));
    const lumetta::OwnedBitmap bitmap(
        CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bits) {
        const lumetta::SelectionGuard selected(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < size_t(picture.width) * size_t(picture.height); ++i)
            picture.pixels.push_back(first[i] & 0xFFFFFF);
    }
    ReleaseDC(window, source);
    return picture;
}

WindowPicture MenuPicture(const std::vector<const wchar_t*>& labels, const wchar_t* defaultLabel,
                          POINT at) {
    std::atomic<bool> done{false};
    std::thread tracker([&] {
        const HWND owner = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1,
                                           nullptr, nullptr, nullptr, nullptr);
        const lumetta::OwnedMenu menu(CreatePopupMenu());
        for (UINT id = 1; id <= labels.size(); ++id)
            AppendMenuW(menu.Get(), labels[id - 1] ? MF_STRING : MF_SEPARATOR, id, labels[id - 1]);
        const auto bold = std::find_if(labels.begin(), labels.end(), [&](const wchar_t* label) {
            return label && defaultLabel && !wcscmp(label, defaultLabel);
        });
        SetMenuDefaultItem(menu.Get(), UINT(bold - labels.begin() + 1), FALSE);
        TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y,
                         owner, nullptr);
        DestroyWindow(owner);
        done = true;
    });
    const HWND shown = WaitPopupMenu(GetCurrentProcessId());
    // Drawn once two reads in a row agree and show more than the background and its border.
    WindowPicture picture, last;
    WaitUntil(
        [&] {
            last = std::exchange(picture, PictureOf(shown));
            const std::set<uint32_t> colours(picture.pixels.begin(), picture.pixels.end());
            return shown && colours.size() > 2 && picture == last;
        },
        5000);
    if (shown) PostMessageW(shown, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitUntil([&] { return done.load(); }, 5000);
    tracker.join();
    return shown ? picture : WindowPicture{};
}

HWND ShownMenu(DWORD pid) {
    return FirstVisible(FindTopLevel(L"#32768", nullptr, pid));
}

void ExpectMenuAt(DWORD pid, POINT at, const std::vector<const wchar_t*>& labels,
                  const wchar_t* defaultLabel) {
    // The pointer rests where it will click, so that both menus open under it alike.
    MouseMove(at.x, at.y);
    const WindowPicture expected = MenuPicture(labels, defaultLabel, at);
    ASSERT_FALSE(expected.pixels.empty()) << "this process showed no menu";
    Click(at.x, at.y, 3);
    const HWND menu = WaitPopupMenu(pid);
    ASSERT_TRUE(menu) << "no menu";
    EXPECT_EQ(Inspect(menu).window,
              (RECT{at.x, at.y, at.x + expected.width, at.y + expected.height}));
    EXPECT_TRUE(WaitUntil([&] { return PictureOf(menu) == expected; }, 5000))
        << "the menu does not show the items expected, with " << Utf8(defaultLabel) << " bold";
    KeyPress(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !ShownMenu(pid); }, kWindowTimeoutMs));
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

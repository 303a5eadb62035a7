// The rig's source windows: fixture.exe (tools/fixture), whose picture tells which of its pixels
// a screenshot shows, and the fake shell's desktop window, which runs for the whole test run.
#pragma once

#include "processes.h"
#include "tools/fixture/control.h"

namespace e2e {

struct Fixture {
    Process process;
    HWND hwnd = nullptr; // null when it did not come up in time
    RECT client{};       // where its client area was put, screen coordinates

    // The rectangle of client coordinates on the screen, as placed at the start.
    RECT ScreenRect(int left, int top, int right, int bottom) const {
        return RECT{client.left + left, client.top + top, client.left + right, client.top + bottom};
    }
};

// Starts fixture.exe with its client area at (x, y) of w × h and further options, and waits
// until its window is on the screen; one that does not come up fails the test.
Fixture StartFixture(int x, int y, int w, int h, const std::wstring& options = L"");

// A window handle as the fixture's options and the stand-in compositor's record write it.
std::string HandleText(HWND hwnd);
std::wstring HandleArg(HWND hwnd);
HWND ShellWindow();

} // namespace e2e

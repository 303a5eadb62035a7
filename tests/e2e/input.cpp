#include "input.h"

#include <cstdlib>

#include "tools/input/input_win.h"

namespace e2e {

static ULONGLONG lastClickTick = 0;

void MouseMove(int x, int y) {
    rig::input::MovePointer(x, y);
    // Wine takes the pointer from the X server's events: the move is done once Wine has seen it.
    WaitUntil(
        [&] {
            POINT p{};
            return GetCursorPos(&p) && p.x == x && p.y == y;
        },
        kWindowTimeoutMs);
}

void MouseDown(int button) {
    rig::input::Button(button, true);
    // A double-click is timed from the presses.
    if (button == 1) lastClickTick = GetTickCount64();
}

void MouseUp(int button) {
    rig::input::Button(button, false);
}

void PressAt(int x, int y, int button) {
    MouseMove(x, y);
    MouseDown(button);
}

void ReleaseAt(int x, int y, int button) {
    MouseMove(x, y);
    MouseUp(button);
}

void Click(int x, int y, int button) {
    PressAt(x, y, button);
    MouseUp(button);
}

void DoubleClick(int x, int y) {
    Click(x, y);
    Click(x, y);
}

void Wheel(int notches) {
    for (int i = 0; i < std::abs(notches); ++i) {
        rig::input::Button(notches > 0 ? 4 : 5, true);
        rig::input::Button(notches > 0 ? 4 : 5, false);
    }
}

void Drag(int x0, int y0, int x1, int y1, int steps) {
    PressAt(x0, y0);
    for (int i = 1; i < steps; ++i)
        MouseMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    ReleaseAt(x1, y1);
}

void WaitOutDoubleClickTime() {
    const ULONGLONG interval = GetDoubleClickTime();
    WaitUntil([&] { return GetTickCount64() - lastClickTick > interval; },
              DWORD(interval) + kWindowTimeoutMs);
}

void KeyPress(WORD vk) {
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = vk;
        key.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
}

void HoldModifier(WORD vk, bool down) {
    const char* keysym = vk == VK_CONTROL ? "Control_L" : vk == VK_SHIFT ? "Shift_L" : "Alt_L";
    rig::input::Key(keysym, down);
    WaitUntil([&] { return (GetAsyncKeyState(vk) < 0) == down; }, kWindowTimeoutMs);
}

bool Focus(HWND window) {
    SetForegroundWindow(window);
    // Foreground is not enough: until its thread has given it the focus (a task-modal box just
    // closed leaves it for a moment with none), keys reach it as system keys.
    return WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            return GetForegroundWindow() == window &&
                   GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
                   (info.hwndFocus == window || IsChild(window, info.hwndFocus));
        },
        2000);
}

} // namespace e2e

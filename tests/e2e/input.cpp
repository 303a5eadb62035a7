#include "input.h"

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
    lastClickTick = GetTickCount64();
}

void DoubleClick(int x, int y) {
    Click(x, y);
    Click(x, y);
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

bool Focus(HWND window) {
    SetForegroundWindow(window);
    return WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

} // namespace e2e

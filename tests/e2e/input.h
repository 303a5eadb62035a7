// Input as a user gives it. The pointer goes through the X server (the rig's input server, see
// tools/input/input_win.h), so Wine sees one stream of device events in order; every move returns
// once Wine's own idea of the pointer is there too. Keys go through SendInput.
#pragma once

#include "rig.h"

namespace e2e {

// Buttons: 1 left, 2 middle, 3 right.
void MouseMove(int x, int y);
void MouseDown(int button = 1);
void MouseUp(int button = 1);
void PressAt(int x, int y, int button = 1);
void ReleaseAt(int x, int y, int button = 1);
void Click(int x, int y, int button = 1);
void DoubleClick(int x, int y);
// Wheel notches where the pointer is: forward (zoom in, scroll up) when positive.
void Wheel(int notches);
// Press at the first point, move there in steps, release at the second.
void Drag(int x0, int y0, int x1, int y1, int steps = 6);
// A second click on the same spot within the double-click time is a double-click; a user who
// means two clicks lets that time pass since the last one.
void WaitOutDoubleClickTime();

void KeyPress(WORD vk);
// Presses or releases VK_CONTROL, VK_SHIFT or VK_MENU in the X server, which Wine takes the
// modifiers from (tools/input/input_win.h); returns once the system shows the new state.
void HoldModifier(WORD vk, bool down);
// Keys go to the focused window: bring it forward as a click on it would.
bool Focus(HWND window);

} // namespace e2e

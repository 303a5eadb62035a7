// Pointer input through the X server, for the end-to-end driver running under Wine.
//
// SendInput under Wine moves Wine's own idea of the pointer at once and warps the X pointer
// behind it; the window under the pointer then also gets the X motion events of those warps,
// late, and can take an older position for the newest. Input given through the X server itself
// (XTest, by the rig's input server tools/input/xinputd) reaches Wine as a real device's does:
// one stream of events in order, the X pointer the only truth.
//
// The server listens on 127.0.0.1 at the port in LUMETTA_INPUT_PORT (set by tools/desktop-run).
#pragma once

namespace rig::input {

// Moves the pointer to (x, y) in screen pixels and returns once the X server reports it there.
// False when the server cannot be reached or does not confirm (it says why on stderr).
// The window's own process turns the X event into WM_MOUSEMOVE a little later: wait for
// GetCursorPos to equal the point, or for what the test looks for.
bool MovePointer(int x, int y);

// Presses (down) or releases mouse button 1 (left), 2 (middle), 3 (right), 4 or 5 (wheel up or
// down) where the pointer is. Returns once the X server has processed the event. Keys given with
// SendInput take another way into Wine: before one that must follow this, wait until
// GetAsyncKeyState shows the button's new state.
bool Button(int button, bool down);

// Presses or releases a key, named by its X keysym (Control_L), in the X server. Wine takes the
// modifiers' state from the server's when the pointer enters one of its windows, so a modifier
// held across a drag must be held there. Returns once the X server has processed the event.
bool Key(const char* keysym, bool down);

} // namespace rig::input

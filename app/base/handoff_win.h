// Sending a hand-off record to the main window, as a selection process and a messenger do.
#pragma once

#include <windows.h>

namespace lumetta {

// Sends a hand-off record to the main window and waits at most the hand-off time-out. True when
// the main window answered non-zero.
bool SendHandOff(HWND mainWindow, HWND sourceWindow, const RECT& rect);

} // namespace lumetta

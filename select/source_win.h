// The window under a selection: the topmost top-level window at the selection's centre that a
// user would take for it, or the desktop's shell window.
#pragma once

#include <windows.h>

namespace lumetta {

// What the EnumWindows callback looks for and what it found.
struct SourceSearch {
    POINT point; // screen coordinates
    HWND found;  // null until a window qualifies
};

// EnumWindows callback; lParam points to a SourceSearch. FALSE (stop) once a window is recorded.
BOOL CALLBACK FindSourceWindowProc(HWND hwnd, LPARAM lParam);

// The source window for a selected rectangle in screen coordinates: the first qualifying window
// from the top of the Z order at the rectangle's centre, else GetShellWindow().
HWND FindSourceWindow(const RECT& selection);

} // namespace lumetta

// The full-screen selection window of a selection process: it dims the screen, lets the user drag
// out an area, and on its destruction hands the area to the main instance.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumetta {

// A 32-bit premultiplied DIB section, rows bottom-up.
struct ScreenBitmap {
    HBITMAP bitmap;
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

struct SelectionWindow {
    HWND window;
    int32_t dragging;
    int32_t redrawPending;
    int32_t accepted;
    POINT anchor;
    POINT current;
    POINT shownAnchor;
    POINT shownCurrent;
    RECT hintRect;
    int32_t hintShown;
    ScreenBitmap screen;
    POINT origin;
    SIZE size;
};

// Registers the class once per process, renders the dimmed screen and creates the window.
bool CreateSelectionWindow(SelectionWindow* selection);
// Frees the screen bitmap if the window left one behind.
void DeleteScreenBitmap(SelectionWindow* selection);

} // namespace lumetta

// The full-screen selection window of a selection process: it dims the screen, lets the user drag
// out an area, and on its destruction hands the area to the main instance.
#pragma once

#include <windows.h>

#include "select/selection.h"

namespace lumetta {

// Registers the class once per process, renders the dimmed screen and creates the window. False
// when the screen cannot be rendered or the window cannot be made.
bool CreateSelectionWindow(SelectionWindow* selection);

// Reads the virtual screen and the primary work area afresh and draws the dimmed screen with the
// hint into a new bitmap. False when the bitmap or the drawing surface cannot be made.
bool RenderSelectionScreen(SelectionWindow* selection);

// Draws what changed since the last redraw and pushes it to the layered window: the dirty pixels
// only, or everything when full.
void PresentSelection(SelectionWindow* selection, bool full);

// Frees the screen bitmap if there is one.
void DeleteScreenBitmap(SelectionWindow* selection);

} // namespace lumetta

// Static text controls made links: underlined, in the link colour, with the hand pointer, and a
// WM_COMMAND with HLN_CLICKED to the parent when clicked.
#pragma once

#include <windows.h>

namespace lumetta {

// Makes a static control a link, or refreshes one that is already; false when the control does
// not exist or its record cannot be had.
bool MakeHyperlink(HWND control);
// Sizes a link to its text without moving it; false when it is not a link or has no DC.
bool SizeHyperlinkToText(HWND control, bool redraw);

} // namespace lumetta

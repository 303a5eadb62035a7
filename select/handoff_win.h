// Hands an accepted selection to the running main instance, starting one when none runs.
#pragma once

#include <windows.h>

#include "select/selection.h"

namespace lumetta {

// Runs once, from the selection window's WM_DESTROY. Sends the selected rectangle and the window
// under it to the main window; true when the main window accepted them. Does nothing for a
// cancelled selection. A main window that does not accept is told to exit.
bool HandOffSelection(const SelectionWindow& selection);

} // namespace lumetta

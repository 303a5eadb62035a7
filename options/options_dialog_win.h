// The Options dialog (Options and About pages).
#pragma once

#include <windows.h>

namespace lumetta {

// Runs the dialog modally with no owner. Non-zero when it was confirmed (the settings are then
// changed and saved), -1 when it could not be created, 0 when it was cancelled.
INT_PTR RunOptionsDialog();

} // namespace lumetta

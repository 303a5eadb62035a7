// The Options dialog (Options and About pages).
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumetta {

// Runs the dialog modally with no owner. Non-zero when it was confirmed (the settings are then
// changed and saved), -1 when it could not be created, 0 when it was cancelled.
INT_PTR RunOptionsDialog();

// The index of a ComboBoxEx's first item whose item value is value; -1 when there is none.
int FindComboItemByData(HWND combo, uint32_t value);

} // namespace lumetta

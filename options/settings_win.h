// The settings in the registry: read once at start-up, written by the Options dialog.
#pragma once

namespace lumetta {

// Fills App.settings from the registry, or with the defaults.
void LoadSettings();
// Writes the autostart entry, then Flags, then DblAction; true only when all three succeeded.
bool SaveSettings();

} // namespace lumetta

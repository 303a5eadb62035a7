// The settings in the registry: read once at start-up, written by the Options dialog.
#pragma once

#include "app/base/settings.h"

namespace lumetta {

// The stored settings, each value that is missing or malformed replaced by its default.
Settings LoadSettings();
// Writes the autostart entry, then Flags, then DblAction; true only when all three succeeded.
bool SaveSettings(const Settings& settings);

} // namespace lumetta

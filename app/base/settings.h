// The user's settings as every part of the program reads them. The Options dialog changes them,
// the settings store reads and writes them.
#pragma once

#include <cstdint>

#include "res/resource.h"

namespace lumetta {

// Bits of Settings.flags.
constexpr uint32_t SETTINGS_KEEP_ON_TOP = 0x1;
constexpr uint32_t SETTINGS_TASKBAR_BUTTONS = 0x2;
constexpr uint32_t SETTINGS_MULTIPLE_PREVIEWS = 0x4;
constexpr uint32_t SETTINGS_SILENT_MODE = 0x8;

// Topmost, multiple previews, tray icon, no taskbar buttons.
constexpr uint32_t SETTINGS_DEFAULT_FLAGS = SETTINGS_KEEP_ON_TOP | SETTINGS_MULTIPLE_PREVIEWS;
static_assert(SETTINGS_DEFAULT_FLAGS == 5);
// A double-click in a preview runs "Maximize Preview".
constexpr uint32_t SETTINGS_DEFAULT_DBL_ACTION = IDM_MAXIMIZE;
static_assert(SETTINGS_DEFAULT_DBL_ACTION == 20102);

struct Settings {
    uint32_t flags = SETTINGS_DEFAULT_FLAGS;          // SETTINGS_* bits; unknown bits are kept
    uint32_t dblAction = SETTINGS_DEFAULT_DBL_ACTION; // preview command run on a double-click
};

} // namespace lumetta

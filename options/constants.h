// Constants of the settings store and the autostart entry.
// Pure header: registry types and sizes are plain numbers here, named after their Win32 meaning.
#pragma once

#include <cstdint>

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
constexpr uint32_t SETTINGS_DEFAULT_DBL_ACTION = 20102;

// Under HKEY_CURRENT_USER.
constexpr wchar_t SETTINGS_KEY_PATH[] = L"Software\\Corvel\\Lumetta";
constexpr wchar_t SETTINGS_VALUE_FLAGS[] = L"Flags";
constexpr wchar_t SETTINGS_VALUE_DBL_ACTION[] = L"DblAction";
constexpr wchar_t RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t AUTOSTART_VALUE_NAME[] = L"Lumetta";
constexpr wchar_t AUTOSTART_SWITCH[] = L"/startup";

// Registry value types and the size of a DWORD value, as the registry reports them.
constexpr uint32_t REGISTRY_TYPE_SZ = 1;    // REG_SZ
constexpr uint32_t REGISTRY_TYPE_DWORD = 4; // REG_DWORD
constexpr uint32_t REGISTRY_DWORD_BYTES = 4;

// The autostart command is built in a buffer of AUTOSTART_BUFFER_UNITS UTF-16 units; the
// program path goes in from unit 1 with room for AUTOSTART_PATH_CAPACITY units, which leaves
// space for the closing quote, the blank and the switch.
constexpr uint32_t AUTOSTART_BUFFER_UNITS = 1024;
constexpr uint32_t AUTOSTART_PATH_CAPACITY = 1008;

} // namespace lumetta

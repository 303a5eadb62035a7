// Constants of the settings store and the autostart entry: where they live in the registry.
#pragma once

#include <cstdint>

namespace lumetta {

// Under HKEY_CURRENT_USER.
constexpr wchar_t SETTINGS_KEY_PATH[] = L"Software\\Corvel\\Lumetta";
constexpr wchar_t SETTINGS_VALUE_FLAGS[] = L"Flags";
constexpr wchar_t SETTINGS_VALUE_DBL_ACTION[] = L"DblAction";
constexpr wchar_t RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t AUTOSTART_VALUE_NAME[] = L"Lumetta";
constexpr wchar_t AUTOSTART_SWITCH[] = L"/startup";

// The autostart command is built in a buffer of AUTOSTART_BUFFER_UNITS UTF-16 units; the
// program path goes in from unit 1 with room for AUTOSTART_PATH_CAPACITY units, which leaves
// space for the closing quote, the blank and the switch.
constexpr uint32_t AUTOSTART_BUFFER_UNITS = 1024;
constexpr uint32_t AUTOSTART_PATH_CAPACITY = 1008;

} // namespace lumetta

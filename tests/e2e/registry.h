// The prefix's registry under HKEY_CURRENT_USER: the program's settings and the rig's switches.
#pragma once

#include "rig.h"

namespace e2e {

bool RegSetBinary(const wchar_t* key, const wchar_t* name, DWORD type,
                  const std::vector<uint8_t>& data);
// The bytes of a value of the given type, or none.
std::optional<std::vector<uint8_t>> RegGetBytes(const wchar_t* key, const wchar_t* name,
                                                DWORD type);
// A string value, or none; set, or deleted with none.
std::optional<std::wstring> RegGetString(const wchar_t* key, const wchar_t* name);
void RegSetString(const wchar_t* key, const wchar_t* name,
                  const std::optional<std::wstring>& value);

// The program's settings: Flags (SETTINGS_* bits, as a value of the given type), or none at all
// (the defaults), and no autostart value.
void SetFlags(DWORD flags, DWORD type = REG_DWORD);
void ClearSettings();

} // namespace e2e

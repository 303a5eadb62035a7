#include "options/settings_win.h"

#include <windows.h>

#include <iterator>

#include "app/base/handles_win.h"
#include "options/settings.h"

namespace lumetta {
namespace {

uint32_t QueryDword(HKEY key, const wchar_t* name, uint32_t defaultValue) {
    DwordQuery query;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    query.succeeded = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                       &size) == ERROR_SUCCESS;
    query.isDword = type == REG_DWORD;
    query.byteCount = size;
    query.value = value;
    return DwordOrDefault(query, defaultValue);
}

bool WriteDword(HKEY key, const wchar_t* name, uint32_t value) {
    DWORD data = value;
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool WriteAutostart(bool silentMode) {
    OwnedKey run;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY_PATH, 0, KEY_WRITE, run.Put()) != ERROR_SUCCESS) {
        return false;
    }
    if (silentMode) {
        LSTATUS status = RegDeleteValueW(run.Get(), AUTOSTART_VALUE_NAME);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    wchar_t path[AUTOSTART_PATH_CAPACITY] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, AUTOSTART_PATH_CAPACITY);
    AutostartCommand command;
    if (!BuildAutostartCommand(path, length, &command)) return false;
    return RegSetValueExW(run.Get(), AUTOSTART_VALUE_NAME, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(command.text),
                          command.byteCount) == ERROR_SUCCESS;
}

} // namespace

Settings LoadSettings() {
    Settings settings;
    OwnedKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, 0, KEY_READ, key.Put()) !=
        ERROR_SUCCESS) {
        return settings;
    }
    settings.flags = QueryDword(key.Get(), SETTINGS_VALUE_FLAGS, SETTINGS_DEFAULT_FLAGS);
    settings.dblAction =
        QueryDword(key.Get(), SETTINGS_VALUE_DBL_ACTION, SETTINGS_DEFAULT_DBL_ACTION);
    return settings;
}

bool SaveSettings(const Settings& settings) {
    bool ok = WriteAutostart((settings.flags & SETTINGS_SILENT_MODE) != 0);
    OwnedKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, 0, KEY_WRITE, key.Put()) !=
            ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY_PATH, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, key.Put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool flagsWritten = WriteDword(key.Get(), SETTINGS_VALUE_FLAGS, settings.flags);
    bool actionWritten = WriteDword(key.Get(), SETTINGS_VALUE_DBL_ACTION, settings.dblAction);
    return ok && flagsWritten && actionWritten;
}

} // namespace lumetta

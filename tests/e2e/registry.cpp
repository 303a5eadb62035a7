#include "registry.h"

#include "options/constants.h"

namespace e2e {

bool RegSetBinary(const wchar_t* key, const wchar_t* name, DWORD type,
                  const std::vector<uint8_t>& data) {
    return RegSetKeyValueW(HKEY_CURRENT_USER, key, name, type, data.data(), DWORD(data.size())) ==
           ERROR_SUCCESS;
}

std::optional<std::vector<uint8_t>> RegGetBytes(const wchar_t* key, const wchar_t* name,
                                                DWORD type) {
    std::vector<uint8_t> bytes(64);
    DWORD stored = 0, size = DWORD(bytes.size());
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &stored, bytes.data(),
                     &size) != ERROR_SUCCESS ||
        stored != type)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

std::optional<std::wstring> RegGetString(const wchar_t* key, const wchar_t* name) {
    wchar_t buffer[2048];
    DWORD size = sizeof(buffer);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void RegSetString(const wchar_t* key, const wchar_t* name,
                  const std::optional<std::wstring>& value) {
    if (!value) RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    if (!value) return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(value->c_str());
    RegSetBinary(key, name, REG_SZ, {bytes, bytes + (value->size() + 1) * sizeof(wchar_t)});
}

void SetFlags(DWORD flags, DWORD type) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&flags);
    RegSetBinary(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_FLAGS, type,
                 {bytes, bytes + sizeof(flags)});
}

void ClearSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, lumetta::SETTINGS_KEY_PATH);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, lumetta::RUN_KEY_PATH, lumetta::AUTOSTART_VALUE_NAME);
}

} // namespace e2e

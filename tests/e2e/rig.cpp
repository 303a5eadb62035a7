#include "rig.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "options/constants.h"

namespace e2e {

std::wstring Env(const wchar_t* name) {
    wchar_t buffer[4096];
    const DWORD n = GetEnvironmentVariableW(name, buffer, DWORD(std::size(buffer)));
    return n == 0 || n >= std::size(buffer) ? std::wstring() : std::wstring(buffer, n);
}

std::string Utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(),
                                          int(out.size()), nullptr, nullptr)));
    return out;
}

std::wstring Wide(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    out.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(),
                                          int(out.size()))));
    return out;
}

std::wstring LumettaExe() {
    return Env(L"LUMETTA_EXE");
}

std::wstring RigPath(const wchar_t* file) {
    return Env(L"LUMETTA_RIG") + L"\\" + file;
}

std::wstring WindowsPath(std::string unixPath) {
    std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
    return L"Z:" + Wide(unixPath);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    // The C library opens files for reading shared, so others may go on writing them.
    std::ifstream file(Utf8(path), std::ios::binary);
    std::ostringstream bytes;
    if (!file || !(bytes << file.rdbuf())) return std::nullopt;
    return bytes.str();
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!cond()) {
        if (GetTickCount64() >= deadline) return cond();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs, QS_ALLINPUT);
    }
    return true;
}

double NowMs() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

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

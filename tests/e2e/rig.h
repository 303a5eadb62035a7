// The rig a test program runs in (tools/desktop-run): its environment, its files, its registry, and
// waiting on conditions. Nothing sleeps blindly: every wait is a condition with a time-out.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// Time-outs, generous for a loaded 2-core machine; waits return as soon as their condition holds.
constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr DWORD kPollMs = 15;

std::wstring Env(const wchar_t* name);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);
std::wstring LumettaExe();                 // LUMETTA_EXE
std::wstring RigPath(const wchar_t* file); // LUMETTA_RIG\file
// The Windows path (drive Z: maps the Unix tree) of a Unix path.
std::wstring WindowsPath(std::string unixPath);
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Polls cond until it holds or the time-out passes, handling this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs = kPollMs);
// The same every millisecond, for timings finer than the usual poll.
inline bool WaitFine(const std::function<bool()>& cond, DWORD timeoutMs) {
    return WaitUntil(cond, timeoutMs, 1);
}
double NowMs();
// Polls f until what it returns holds (a window, a value) or the time-out passes; its last answer.
template <typename F> auto WaitFor(F f, DWORD timeoutMs = kWindowTimeoutMs) {
    decltype(f()) last{};
    WaitUntil([&] { return bool(last = f()); }, timeoutMs);
    return last;
}

// Runs a function when it goes out of scope, to undo what a test changed however it ends.
template <typename F> struct AtExit {
    F f;
    ~AtExit() { f(); }
};
template <typename F> AtExit(F) -> AtExit<F>;

// The prefix's registry under HKEY_CURRENT_USER: the program's settings and the rig's switches.
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

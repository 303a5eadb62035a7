// Switches of the stand-in compositor for test programs (header only, Win32). A test uses them
// from its own process; the stand-in reads them on every call and every redraw.
#pragma once

#include <windows.h>

#include "constants.h"

namespace dwmrig {

// Marks `hwnd` cloaked: DwmGetWindowAttribute(DWMWA_CLOAKED) then answers `value`
// (DWM_CLOAKED_APP 1, DWM_CLOAKED_SHELL 2, DWM_CLOAKED_INHERITED 4, or a combination).
// 0 removes the mark. Works on windows of any process.
inline bool SetCloaked(HWND hwnd, DWORD value) {
    if (!IsWindow(hwnd)) return false;
    if (value == 0) {
        RemovePropW(hwnd, PROP_CLOAKED);
        return true;
    }
    return SetPropW(hwnd, PROP_CLOAKED, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value))) !=
           FALSE;
}

// Makes DwmRegisterThumbnail with `source` fail with `hr` (a failure HRESULT; anything else gives
// E_INVALIDARG).
inline bool SetRefused(HWND source, HRESULT hr = E_INVALIDARG) {
    if (!IsWindow(source)) return false;
    const auto mark = static_cast<ULONG_PTR>(static_cast<ULONG>(hr == 0 ? E_INVALIDARG : hr));
    return SetPropW(source, PROP_REFUSE, reinterpret_cast<HANDLE>(mark)) != FALSE;
}

inline bool ClearRefused(HWND source) {
    if (!IsWindow(source)) return false;
    RemovePropW(source, PROP_REFUSE);
    return true;
}

// Sets a switch of the stand-in (a REG_DWORD under its control key).
inline bool SetSwitch(const wchar_t* name, bool on) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, REG_CONTROL_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = on ? 1 : 0;
    const LSTATUS status = RegSetValueExW(key, name, 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// Turns desktop composition on or off as DWM does: the state changes, then every top-level window
// is told with WM_DWMCOMPOSITIONCHANGED.
inline bool SetComposition(bool on) {
    if (!SetSwitch(REG_COMPOSITION_VALUE, on)) return false;
    EnumWindows(
        [](HWND hwnd, LPARAM) -> BOOL {
            PostMessageW(hwnd, WM_DWMCOMPOSITIONCHANGED_ID, 0, 0);
            return TRUE;
        },
        0);
    return true;
}

// A switch of the stand-in: the registry value, on when absent.
inline bool SwitchOn(const wchar_t* name) {
    DWORD value = 1;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, REG_CONTROL_KEY, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return true;
    return value != 0;
}

// The composition state the stand-in reports.
inline bool CompositionOn() {
    return SwitchOn(REG_COMPOSITION_VALUE);
}

// Whether thumbnails are refreshed on the timer.
inline bool RefreshOn() {
    return SwitchOn(REG_REFRESH_VALUE);
}

// Pauses or resumes the timer's refreshes of every thumbnail (read on every tick).
inline bool SetRefresh(bool on) {
    return SetSwitch(REG_REFRESH_VALUE, on);
}

} // namespace dwmrig

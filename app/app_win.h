// The process-wide record. Only the user-interface thread touches it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/constants.h"
#include "options/settings.h"
#include "preview/preview_win.h"

namespace lumetta {

struct AppState {
    HINSTANCE instance = nullptr;
    uint32_t osVersionFlags = 0;
    uint32_t commandFlags = 0;
    HWND previewSourceArg = nullptr;
    RECT pendingRect{}; // empty: none
    Settings settings;
    HWND hMainWnd = nullptr;
    HICON hTrayIcon = nullptr; // null exactly when no tray icon is shown
    UINT msgTaskbarCreated = 0;
    HWND hOptionsDialog = nullptr;
    PreviewWindow previewList[MAX_PREVIEWS];
};

extern AppState App;

inline bool HasSetting(uint32_t bit) {
    return (App.settings.flags & bit) != 0;
}
inline bool IsWindows10OrLater() {
    return (App.osVersionFlags & OS_WIN10) != 0;
}

} // namespace lumetta

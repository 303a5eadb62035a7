// The shell's own record: what the command line asked for, the tray icon and the preview list.
// Only the user-interface thread touches it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/base/constants.h"
#include "app/base/handles_win.h"
#include "preview/preview_win.h"

namespace lumetta {

struct AppState {
    uint32_t commandFlags = 0;
    HWND previewSourceArg = nullptr;
    RECT pendingRect{}; // empty: none
    OwnedIcon trayIcon; // empty exactly when no tray icon is shown
    UINT msgTaskbarCreated = 0;
    PreviewWindow previewList[MAX_PREVIEWS];
};

extern AppState App;

} // namespace lumetta

// What every part of the program may read of the process: its module, the Windows version, the
// settings and the main window. The shell fills it at start-up; only the user-interface thread
// touches it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/base/constants.h"
#include "app/base/settings.h"

namespace lumetta {

// What a preview's commands ask of the shell, which fills these in before any preview opens.
struct ShellRequests {
    void (*startSelection)() = nullptr;
    void (*showOptions)() = nullptr;
    void (*closeAllPreviews)() = nullptr;
    void (*showTrayIcon)(bool show) = nullptr;
};

struct ProcessContext {
    HINSTANCE instance = nullptr;
    uint32_t osVersionFlags = 0; // OS_* bits
    Settings settings;
    HWND hMainWnd = nullptr;       // the main instance's hidden window, while it exists
    HWND hOptionsDialog = nullptr; // the Options dialog, while it is open
    ShellRequests shell;
};

extern ProcessContext Context;

inline bool HasSetting(uint32_t bit) {
    return (Context.settings.flags & bit) != 0;
}
inline void RequestShell(void (*request)()) {
    if (request) request();
}
inline void RequestShell(void (*request)(bool), bool argument) {
    if (request) request(argument);
}
inline bool IsWindows8OrLater() {
    return (Context.osVersionFlags & OS_WIN8) != 0;
}
inline bool IsWindows10OrLater() {
    return (Context.osVersionFlags & OS_WIN10) != 0;
}

} // namespace lumetta

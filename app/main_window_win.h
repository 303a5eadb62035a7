// The hidden main window of the main instance: the address other processes send requests to, the
// owner of the tray icon, and the receiver of the previews' reports.
#pragma once

#include <windows.h>

namespace lumetta {

bool RegisterMainWindowClass();
// Creates the main window; its WM_CREATE adds the tray icon and opens a command-line preview.
bool CreateMainWindow();
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

void ShowTrayIcon(bool show);
void ShowTrayMenu();
// Starts a selection in a new process of this program.
void StartSelection();

} // namespace lumetta

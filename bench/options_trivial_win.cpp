// The baseline of the Options benchmark: a hidden window that, on any WM_COMMAND, runs a trivial
// modal dialog from a template (a line of text, OK and Cancel in Segoe UI 9 pt, topmost, centred)
// the way Lumetta's main window runs the Options dialog. Ends on WM_CLOSE.
#include <windows.h>

#include "options_trivial.h"

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
        EndDialog(dialog, LOWORD(wParam));
    return FALSE;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TRIVIAL), nullptr,
                        DialogProc, 0);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = TRIVIAL_HOST_CLASS;
    RegisterClassW(&windowClass);
    CreateWindowExW(0, TRIVIAL_HOST_CLASS, TRIVIAL_HOST_CLASS, WS_POPUP, 0, 0, 0, 0, nullptr,
                    nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

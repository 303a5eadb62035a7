// The fake shell: a desktop window of class "Progman" made the shell window with
// SetShellWindow, so that GetShellWindow() answers in every process as it does on Windows (Wine
// has no shell window of its own). It spans the virtual screen at the bottom of the Z order, is
// never activated, and shows a picture that encodes each pixel's screen position.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "tools/fakeshell/shell_options.h"
#include "tools/fakeshell/shell_pattern.h"
#include "tools/fixture/dib_surface_win.h"
#include "tools/fixture/fill.h"
#include "tools/fixture/protocol.h"
#include "tools/fixture/rig_process_win.h"

namespace rig {
namespace {

constexpr wchar_t PROGRAM_NAME[] = L"fakeshell";
constexpr wchar_t SHELL_CLASS[] = L"Progman";
constexpr wchar_t SHELL_TITLE[] = L"Program Manager";
constexpr int SHELL_EXIT_SET_SHELL_WINDOW = 2;
constexpr uint8_t OPAQUE_ALPHA = 255;

struct Shell {
    HWND hwnd = nullptr;
    FixtureRect area = {}; // the virtual screen the window spans
    DibSurface surface;
};

Shell g_shell;

FixtureRect VirtualScreen() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// Draws the picture for the current virtual screen. False when the bitmap cannot be made.
bool DrawForVirtualScreen(Shell* shell) {
    shell->area = VirtualScreen();
    if (!CreateDibSurface(&shell->surface, shell->area.width, shell->area.height)) return false;
    FillFixturePattern(shell->surface.pixels, shell->area.width, shell->area.height, shell->area.x,
                       shell->area.y, SHELL_PATTERN_BLUE, OPAQUE_ALPHA);
    return true;
}

void OnDisplayChange(Shell* shell) {
    if (!DrawForVirtualScreen(shell)) return;
    SetWindowPos(shell->hwnd, HWND_BOTTOM, shell->area.x, shell->area.y, shell->area.width,
                 shell->area.height, SWP_NOACTIVATE);
    InvalidateRect(shell->hwnd, nullptr, FALSE);
}

void OnPaint(Shell* shell) {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(shell->hwnd, &paint);
    if (dc && shell->surface.dc) BlitDibSurface(shell->surface, dc);
    EndPaint(shell->hwnd, &paint);
}

// Whatever else moves in the Z order, the desktop stays below it. The window is never activated
// by a move either: Wine brings a window that a move activates to the top after this message,
// whatever place it asks for here.
void OnWindowPosChanging(WINDOWPOS* position) {
    position->flags |= SWP_NOACTIVATE;
    if (!(position->flags & SWP_NOZORDER)) position->hwndInsertAfter = HWND_BOTTOM;
}

LRESULT CALLBACK ShellWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Shell* shell = &g_shell;
    switch (message) {
    case WM_NCCREATE: shell->hwnd = hwnd; break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); break;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(shell); return 0;
    case WM_DISPLAYCHANGE: OnDisplayChange(shell); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Wine restacks its X windows only when one comes to the very top of the Z order, and maps a
// new window above all others: a shell started while other windows are shown lies below them in
// the Z order but covers them on the screen, and nothing short of re-showing them fixes that.
bool OtherWindowsShown(HWND shell) {
    for (HWND w = GetWindow(shell, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != shell && IsWindowVisible(w)) return true;
    }
    return false;
}

// user32 exports SetShellWindow without declaring it.
bool MakeShellWindow(HWND hwnd) {
    using SetShellWindowFunction = BOOL(WINAPI*)(HWND);
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto setShellWindow = reinterpret_cast<SetShellWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetShellWindow")));
    return setShellWindow && setShellWindow(hwnd);
}

int EndShell(Shell* shell, int exitCode) {
    if (shell->hwnd) DestroyWindow(shell->hwnd);
    DestroyDibSurface(&shell->surface);
    return exitCode;
}

int RunShell(HINSTANCE instance) {
    Shell* shell = &g_shell;
    ShellOptions options;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring error = L"cannot read the command line";
    const bool parsed = argv && ParseShellArgs(argc, argv, &options, &error);
    LocalFree(argv);
    if (!parsed) {
        ReportError(PROGRAM_NAME, error);
        return RIG_EXIT_USAGE;
    }
    MakeDpiAware();
    // Only one shell per desktop: SetShellWindow would refuse, after this one had shown itself.
    if (GetShellWindow()) {
        ReportError(PROGRAM_NAME, L"there is a shell window already");
        return SHELL_EXIT_SET_SHELL_WINDOW;
    }

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ShellWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = SHELL_CLASS;
    if (!RegisterClassExW(&windowClass) || !DrawForVirtualScreen(shell) ||
        !CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, SHELL_CLASS, SHELL_TITLE,
                         WS_POPUP | WS_VISIBLE, shell->area.x, shell->area.y, shell->area.width,
                         shell->area.height, nullptr, nullptr, instance, nullptr)) {
        ReportError(PROGRAM_NAME, L"cannot create the window");
        return EndShell(shell, RIG_EXIT_WINDOW);
    }
    SetWindowPos(shell->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    if (!MakeShellWindow(shell->hwnd)) {
        ReportError(PROGRAM_NAME, L"SetShellWindow failed");
        return EndShell(shell, SHELL_EXIT_SET_SHELL_WINDOW);
    }
    if (OtherWindowsShown(shell->hwnd))
        ReportError(PROGRAM_NAME, L"started after other windows: on the screen it covers them");
    if (!options.readyFile.empty() && !WriteReadyFile(options.readyFile, shell->hwnd)) {
        ReportError(PROGRAM_NAME, L"cannot write " + options.readyFile);
        return EndShell(shell, RIG_EXIT_READY_FILE);
    }

    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyDibSurface(&shell->surface);
    return 0;
}

} // namespace
} // namespace rig

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return rig::RunShell(instance);
}

#include "app/base/window_helpers_win.h"

#include <iterator>

#include "app/base/constants_win.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr DWORD CENTERED_BOX_STYLE = MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND;

// The CBT hook lives from just before a box is created until its first activation.
OwnedHook g_centeringHook;

using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

struct DpiFunctions {
    GetDpiForSystemFn getDpiForSystem = nullptr;
    GetDpiForWindowFn getDpiForWindow = nullptr;
    AdjustWindowRectExForDpiFn adjustWindowRectExForDpi = nullptr;
};

// user32 is always loaded; the functions exist from Windows 10 1607 on.
DpiFunctions LoadDpiFunctions() {
    DpiFunctions functions;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return functions;
    functions.getDpiForSystem = ProcAddress<GetDpiForSystemFn>(user32, "GetDpiForSystem");
    functions.getDpiForWindow = ProcAddress<GetDpiForWindowFn>(user32, "GetDpiForWindow");
    functions.adjustWindowRectExForDpi =
        ProcAddress<AdjustWindowRectExForDpiFn>(user32, "AdjustWindowRectExForDpi");
    return functions;
}

// Looked up once, on the first use; only the process's one thread asks (std::call_once would
// bring the whole threads library into the program for nothing).
const DpiFunctions& Dpi() {
    static const DpiFunctions functions = LoadDpiFunctions();
    return functions;
}

LRESULT CALLBACK CenteringHookProc(int code, WPARAM wParam, LPARAM) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        HWND owner = GetParent(box);
        if (owner && IsWindow(owner) && IsWindowVisible(owner)) CenterOnMonitor(box, owner);
        g_centeringHook.Reset();
    }
    return 0;
}

void ShowCenteredBox(HWND owner, const wchar_t* text) {
    TextBuffer caption;
    LoadText(IDS_ERROR_CAPTION, caption);
    g_centeringHook.Reset(
        SetWindowsHookExW(WH_CBT, CenteringHookProc, Context.instance, GetCurrentThreadId()));
    MessageBoxW(owner, text, caption, CENTERED_BOX_STYLE);
    g_centeringHook.Reset();
}

} // namespace

bool RegisterWindowClass(const WindowClassParams& params) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = params.style;
    windowClass.lpfnWndProc = params.procedure;
    windowClass.hInstance = Context.instance;
    windowClass.hCursor = params.cursor;
    windowClass.hbrBackground = params.background;
    windowClass.lpszClassName = params.name;
    if (params.programIcon) {
        windowClass.hIcon = LoadIconW(Context.instance, MAKEINTRESOURCEW(IDI_APP));
        windowClass.hIconSm = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON, LR_SHARED);
    }
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HICON LoadProgramIcon(int widthMetric, int heightMetric, UINT flags) {
    return static_cast<HICON>(LoadImageW(Context.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), flags));
}

void SetProgramIcons(HWND hwnd) {
    SendMessageW(hwnd, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXICON, SM_CYICON, LR_SHARED)));
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON, LR_SHARED)));
}

void LoadText(UINT id, wchar_t* buffer, int capacity) {
    if (capacity <= 0) return;
    buffer[0] = L'\0';
    LoadStringW(Context.instance, id, buffer, capacity);
}

void CenteredMessageBox(HWND owner, const wchar_t* text) {
    ShowCenteredBox(owner, text);
}

void CenteredMessageBox(HWND owner, UINT stringId) {
    TextBuffer text;
    LoadText(stringId, text);
    ShowCenteredBox(owner, text);
}

void ProgramMessageBox(UINT stringId, UINT style) {
    TextBuffer text;
    LoadText(stringId, text);
    MessageBoxW(nullptr, text, APP_TITLE, style);
}

void CenterOnMonitor(HWND window, HWND reference) {
    RECT windowRect{};
    if (!GetWindowRect(window, &windowRect)) return;
    bool useReference =
        reference && IsWindow(reference) && IsWindowVisible(reference) && !IsIconic(reference);
    HMONITOR monitor =
        MonitorFromWindow(useReference ? reference : window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor && GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    Point at = CenterInWorkArea(ToRect(windowRect), ToRect(area));
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool BringWindowToFront(HWND window) {
    if (!IsWindow(window) || IsHungAppWindow(window)) return false;
    bool result = true;
    HWND foreground = GetForegroundWindow();
    if (window != foreground) {
        BringWindowToTop(window);
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        if (!SetForegroundWindow(window)) {
            if (!foreground) foreground = FindWindowW(TASKBAR_WINDOW_CLASS, nullptr);
            const DWORD from = GetWindowThreadProcessId(foreground, nullptr);
            const DWORD to = GetWindowThreadProcessId(window, nullptr);
            AttachThreadInput(from, to, TRUE);
            if (!SetForegroundWindow(window)) {
                // The system lets the foreground go to whoever just gave keyboard input.
                INPUT keys[4]{};
                for (size_t i = 0; i < std::size(keys); ++i) {
                    keys[i].type = INPUT_KEYBOARD;
                    keys[i].ki.wVk = VK_MENU;
                    keys[i].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (i % 2 ? KEYEVENTF_KEYUP : 0);
                }
                SendInput(static_cast<UINT>(std::size(keys)), keys, sizeof(INPUT));
                result = SetForegroundWindow(window) != FALSE;
            }
            AttachThreadInput(from, to, FALSE);
        }
    }
    if (IsIconic(window)) PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    return result;
}

bool CopyOwnMessageData(LPARAM lParam, void* out, size_t size) {
    SIZE_T copied = 0;
    return lParam && !InSendMessage() &&
           ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(lParam), out, size,
                             &copied) &&
           copied == size;
}

UINT GetSystemDpi() {
    if (Dpi().getDpiForSystem) {
        UINT dpi = Dpi().getDpiForSystem();
        if (dpi) return dpi;
    }
    WindowDc screen(nullptr);
    if (!screen) return DESIGN_DPI;
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return EffectiveDpi(dpi > 0 ? static_cast<uint32_t>(dpi) : 0);
}

UINT GetWindowDpi(HWND window) {
    if (Dpi().getDpiForWindow && IsWindow(window)) {
        UINT dpi = Dpi().getDpiForWindow(window);
        if (dpi) return dpi;
    }
    return GetSystemDpi();
}

void AdjustWindowRectForDpi(RECT* rect, UINT dpi) {
    if (Dpi().adjustWindowRectExForDpi) {
        Dpi().adjustWindowRectExForDpi(rect, PREVIEW_STYLE, FALSE, PREVIEW_EX_STYLE_TOPMOST, dpi);
    } else {
        AdjustWindowRectEx(rect, PREVIEW_STYLE, FALSE, PREVIEW_EX_STYLE_TOPMOST);
    }
}

} // namespace lumetta

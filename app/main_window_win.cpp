#include "app/main_window_win.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "app/app_win.h"
#include "app/base/constants_win.h"
#include "app/base/context_win.h"
#include "app/base/handoff.h"
#include "app/base/window_helpers_win.h"
#include "app/preview_list_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr UINT TRAY_MENU_FLAGS = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTALIGN | TPM_RIGHTBUTTON;
static_assert(TRAY_MENU_FLAGS == 0x18A);
constexpr UINT PLAIN_ERROR_BOX_STYLE = MB_ICONERROR | MB_SETFOREGROUND;

// A NOTIFYICONDATAW for the tray icon: always the full structure, zero-filled.
NOTIFYICONDATAW TrayIconData() {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = Context.hMainWnd;
    data.uID = TRAY_ICON_ID;
    return data;
}

void CopyText(wchar_t* destination, size_t capacity, const wchar_t* text) {
    // At most capacity - 1 units, always terminated.
    size_t i = 0;
    for (; i + 1 < capacity && text[i]; ++i)
        destination[i] = text[i];
    destination[i] = L'\0';
}

void ShowStartupBalloon() {
    TextBuffer title, text;
    LoadText(IDS_BALLOON_TITLE, title);
    LoadText(IDS_BALLOON_TEXT, text);
    if (!App.trayIcon) return;
    NOTIFYICONDATAW data = TrayIconData();
    data.uFlags = NIF_INFO;
    CopyText(data.szInfoTitle, std::size(data.szInfoTitle), title);
    CopyText(data.szInfo, std::size(data.szInfo), text);
    data.dwInfoFlags = NIIF_INFO;
    data.uTimeout = TRAY_BALLOON_TIMEOUT_MS;
    Shell_NotifyIconW(NIM_MODIFY, &data);
}

LRESULT OnCreate(HWND hwnd) {
    Context.hMainWnd = hwnd;
    App.msgTaskbarCreated = RegisterWindowMessageW(TASKBAR_CREATED_MESSAGE);
    SetProgramIcons(hwnd);
    ShowTrayIcon(!HasSetting(SETTINGS_SILENT_MODE));
    if (App.commandFlags & CMD_INSTALL) ShowStartupBalloon();
    if ((App.commandFlags & CMD_PREVIEW) && !OpenPreview(App.previewSourceArg)) {
        ProgramMessageBox(IDS_PREVIEW_FAILED, PLAIN_ERROR_BOX_STYLE);
        DestroyWindow(hwnd);
    }
    return 0;
}

LRESULT OnDestroy() {
    ShowTrayIcon(false);
    Context.hMainWnd = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT OnCopyData(LPARAM lParam) {
    auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!data) return 0;
    auto record = AcceptHandOff(data->dwData, data->cbData, data->lpData);
    if (!record) return 0;
    auto clipped = ClipToVirtualScreen(
        record->rect, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    if (!clipped) return 0;
    App.pendingRect = ToRECT(*clipped);
    HWND source = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(record->sourceWindow));
    return OpenPreview(source);
}

LRESULT OnCompositionChanged() {
    if (AnyPreviewOpen()) RequireComposition();
    return 0;
}

LRESULT OnTrayNotify(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam != TRAY_ICON_ID) return 0;
    switch (LOWORD(lParam)) {
    case WM_RBUTTONUP: ShowTrayMenu(); break;
    case WM_LBUTTONDBLCLK:
        SetForegroundWindow(hwnd);
        StartSelection();
        break;
    default: break; // a single click does nothing
    }
    return 0;
}

LRESULT OnInstanceCommand(HWND hwnd, WPARAM wParam) {
    if (wParam & CMD_EXIT) DestroyWindow(hwnd);
    return 0;
}

// The shell was restarted: the icon may be gone with the old taskbar.
LRESULT OnTaskbarCreated() {
    if (!App.trayIcon) return 0;
    NOTIFYICONDATAW probe = TrayIconData();
    probe.uFlags = NIF_STATE;
    probe.dwState = 0;
    probe.dwStateMask = NIS_HIDDEN;
    if (Shell_NotifyIconW(NIM_MODIFY, &probe)) return 0;
    NOTIFYICONDATAW gone = TrayIconData();
    Shell_NotifyIconW(NIM_DELETE, &gone);
    App.trayIcon.Reset();
    ShowTrayIcon(true);
    return 0;
}

void RunTrayCommand(UINT command) {
    switch (command) {
    case IDM_TRAY_NEW_PREVIEW: StartSelection(); break;
    case IDM_TRAY_OPTIONS: ShowOptions(); break;
    case IDM_TRAY_EXIT:
        if (Context.hMainWnd) DestroyWindow(Context.hMainWnd);
        break;
    default: break;
    }
}

void AppendMenuText(HMENU menu, UINT id) {
    TextBuffer text;
    LoadText(id, text);
    AppendMenuW(menu, MF_STRING, id, text);
}

} // namespace

bool RegisterMainWindowClass() {
    WindowClassParams params;
    params.name = MAIN_WINDOW_CLASS;
    params.procedure = MainWndProc;
    return RegisterWindowClass(params);
}

bool CreateMainWindow() {
    return CreateWindowExW(WS_EX_TOOLWINDOW, MAIN_WINDOW_CLASS, APP_TITLE, 0, 0, 0, 0, 0, nullptr,
                           nullptr, Context.instance, nullptr) != nullptr;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(hwnd);
    case WM_DESTROY: return OnDestroy();
    case WM_CLOSE: return 0; // only the program's own paths end the main window
    case WM_COPYDATA: return OnCopyData(lParam);
    case WM_DWMCOMPOSITIONCHANGED: return OnCompositionChanged();
    case WM_PREVIEW_CLOSED: return OnPreviewClosed();
    case WM_TRAY_NOTIFY: return OnTrayNotify(hwnd, wParam, lParam);
    case WM_INSTANCE_COMMAND: return OnInstanceCommand(hwnd, wParam);
    default: break;
    }
    if (message == App.msgTaskbarCreated && App.msgTaskbarCreated != 0) return OnTaskbarCreated();
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void ShowTrayIcon(bool show) {
    NOTIFYICONDATAW data = TrayIconData();
    if (!show) {
        Shell_NotifyIconW(NIM_DELETE, &data);
        App.trayIcon.Reset();
        return;
    }
    const bool adding = !App.trayIcon;
    if (adding) App.trayIcon.Reset(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON, 0));
    data.uFlags = NIF_ICON | NIF_TIP;
    data.hIcon = App.trayIcon.Get();
    CopyText(data.szTip, std::size(data.szTip), APP_TITLE);
    if (adding) {
        data.uFlags |= NIF_MESSAGE;
        data.uCallbackMessage = WM_TRAY_NOTIFY;
        Shell_NotifyIconW(NIM_ADD, &data);
    } else {
        Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

void ShowTrayMenu() {
    POINT at{};
    GetCursorPos(&at);
    UINT command = 0;
    {
        OwnedMenu menu(CreatePopupMenu());
        if (!menu) return;
        AppendMenuText(menu.Get(), IDM_TRAY_NEW_PREVIEW);
        AppendMenuText(menu.Get(), IDM_TRAY_OPTIONS);
        AppendMenuText(menu.Get(), IDM_TRAY_EXIT);
        InsertMenuW(menu.Get(), IDM_TRAY_OPTIONS, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
        InsertMenuW(menu.Get(), IDM_TRAY_EXIT, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
        SetMenuDefaultItem(menu.Get(), IDM_TRAY_NEW_PREVIEW, FALSE);
        // Without the foreground the menu would not close when the user clicks elsewhere.
        SetForegroundWindow(Context.hMainWnd);
        command = static_cast<UINT>(
            TrackPopupMenu(menu.Get(), TRAY_MENU_FLAGS, at.x, at.y, 0, Context.hMainWnd, nullptr));
        PostMessageW(Context.hMainWnd, WM_NULL, 0, 0);
    }
    RunTrayCommand(command);
}

void StartSelection() {
    SuspendOverlays();
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    ShellExecuteW(nullptr, L"open", path, SELECT_PARAMETERS, nullptr, SW_SHOWNORMAL);
}

} // namespace lumetta

#include "select/selection_win.h"

#include "app/app_win.h"
#include "app/constants.h"
#include "res/resource.h"

namespace lumetta {
namespace {

constexpr DWORD SELECTION_EX_STYLE = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr BYTE DIM_ALPHA = 0x78;

bool g_classRegistered = false;

SelectionWindow* From(HWND hwnd) {
    return reinterpret_cast<SelectionWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT OnCreate(HWND hwnd, LPARAM lParam) {
    auto* selection =
        static_cast<SelectionWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(selection));
    selection->window = hwnd;
    SetLayeredWindowAttributes(hwnd, 0, DIM_ALPHA, LWA_ALPHA);
    return 0;
}

LRESULT OnDestroy(SelectionWindow* selection) {
    selection->window = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT OnCommand(HWND hwnd, WPARAM wParam) {
    if (LOWORD(wParam) == IDM_SELECT_CANCEL) DestroyWindow(hwnd);
    return 0;
}

LRESULT CALLBACK SelectionWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) return OnCreate(hwnd, lParam);
    SelectionWindow* selection = From(hwnd);
    if (!selection) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY: return OnDestroy(selection);
    case WM_COMMAND: return OnCommand(hwnd, wParam);
    case WM_RBUTTONUP: DestroyWindow(hwnd); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

bool CreateSelectionWindow(SelectionWindow* selection) {
    if (!g_classRegistered) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = SelectionWndProc;
        windowClass.hInstance = App.instance;
        windowClass.hIcon = LoadIconW(App.instance, MAKEINTRESOURCEW(IDI_APP));
        windowClass.hCursor = LoadCursorW(App.instance, MAKEINTRESOURCEW(IDC_SELECT_CURSOR));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = SELECTION_WINDOW_CLASS;
        windowClass.hIconSm = static_cast<HICON>(
            LoadImageW(App.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        if (!RegisterClassExW(&windowClass)) return false;
        g_classRegistered = true;
    }
    selection->origin = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    selection->size = {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    HWND hwnd = CreateWindowExW(SELECTION_EX_STYLE, SELECTION_WINDOW_CLASS, APP_TITLE,
                                WS_POPUP | WS_VISIBLE, selection->origin.x, selection->origin.y,
                                selection->size.cx, selection->size.cy, nullptr, nullptr,
                                App.instance, selection);
    return hwnd != nullptr;
}

void DeleteScreenBitmap(SelectionWindow* selection) {
    if (selection->screen.bitmap) DeleteObject(selection->screen.bitmap);
    selection->screen = ScreenBitmap{};
}

} // namespace lumetta

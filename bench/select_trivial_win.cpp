// The baseline of the start-up benchmark: the least a Win32 program does to put one window on
// the screen. It titles its window "painted" once the first WM_PAINT is done, so the measurer
// sees when its first frame exists, and ends on WM_CLOSE.
#include <windows.h>

namespace {

constexpr wchar_t kClass[] = L"LumettaBenchTrivial";
bool g_painted = false;

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(hwnd, &ps);
        if (!g_painted) {
            g_painted = true;
            SetWindowTextW(hwnd, L"painted");
        }
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = kClass;
    if (!RegisterClassExW(&windowClass)) return 1;
    HWND hwnd = CreateWindowExW(0, kClass, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 640,
                                480, nullptr, nullptr, instance, nullptr);
    if (!hwnd) return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

#include "window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "app/base/constants.h"
#include "input.h"
#include "res/resource.h"

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace e2e {

std::wstring RectArgs(const RECT& r) {
    return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " +
           std::to_wstring(r.right) + L" " + std::to_wstring(r.bottom);
}

RECT PrimaryWorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

DWORD WindowPid(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

// InternalGetWindowText does not send WM_GETTEXT, so a hung window cannot block the driver.
static std::wstring TextOf(HWND hwnd, int(WINAPI* get)(HWND, LPWSTR, int) = InternalGetWindowText) {
    wchar_t buffer[1024] = {};
    get(hwnd, buffer, int(std::size(buffer)));
    return buffer;
}

std::vector<HWND> FindTopLevel(const wchar_t* cls, const wchar_t* title, DWORD pid) {
    std::vector<HWND> all;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) {
            reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    all.erase(std::remove_if(all.begin(), all.end(),
                             [&](HWND h) {
                                 return (pid && WindowPid(h) != pid) ||
                                        (cls && *cls && TextOf(h, GetClassNameW) != cls) ||
                                        (title && TextOf(h) != title);
                             }),
              all.end());
    return all;
}

HWND WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs, DWORD pid) {
    return WaitFor(
        [&] {
            const auto all = FindTopLevel(cls, title, pid);
            return all.empty() ? nullptr : all.front();
        },
        timeoutMs);
}

bool WaitWindowGone(HWND hwnd, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd); }, timeoutMs);
}

WindowInfo Inspect(HWND hwnd) {
    WindowInfo info;
    if (!IsWindow(hwnd)) return info;
    info.title = TextOf(hwnd);
    GetWindowRect(hwnd, &info.window);
    GetClientRect(hwnd, &info.client);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&info.client), 2);
    info.style = DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE));
    info.exStyle = DWORD(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    info.owner = GetWindow(hwnd, GW_OWNER);
    info.visible = IsWindowVisible(hwnd) != FALSE;
    return info;
}

std::vector<MessageBoxInfo> MessageBoxes(DWORD pid) {
    std::vector<MessageBoxInfo> boxes;
    for (HWND hwnd : FindTopLevel(L"#32770", nullptr, pid)) {
        // A message box keeps its text in a static control with id 0xFFFF.
        const HWND text = GetDlgItem(hwnd, 0xFFFF);
        if (IsWindowVisible(hwnd) && text)
            boxes.push_back({hwnd, TextOf(hwnd), TextOf(text), GetWindow(hwnd, GW_OWNER)});
    }
    return boxes;
}

void DismissMessageBox(const MessageBoxInfo& box) {
    // The default button's click, as Enter on the focused box would give.
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitWindowGone(box.hwnd, 3000)) PostMessageW(box.hwnd, WM_CLOSE, 0, 0);
    WaitWindowGone(box.hwnd, 3000);
}

std::optional<MessageBoxInfo> TakeMessageBox(DWORD pid, DWORD timeoutMs) {
    const auto box = WaitFor(
        [&] {
            const auto boxes = MessageBoxes(pid);
            return boxes.empty() ? std::nullopt : std::optional(boxes.front());
        },
        timeoutMs);
    if (box) DismissMessageBox(*box);
    return box;
}

HWND FirstVisible(const std::vector<HWND>& windows) {
    const auto shown = std::find_if(windows.begin(), windows.end(), IsWindowVisible);
    return shown == windows.end() ? nullptr : *shown;
}

HWND TrayWindow() {
    return FirstVisible(FindTopLevel(nullptr, L"Wine System Tray"));
}

bool WaitTrayVisible(bool visible, DWORD timeoutMs) {
    const bool reached = WaitUntil([&] { return (TrayWindow() != nullptr) == visible; }, timeoutMs);
    // Shown again, Wine's tray window can come back under the fake shell's desktop window.
    if (reached && visible)
        SetWindowPos(TrayWindow(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return reached;
}

POINT FirstTrayIcon() {
    const RECT client = Inspect(TrayWindow()).client;
    // Icons sit in a row from the client area's left edge, a small icon and a margin each.
    const int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    return POINT{client.left + cell / 2, client.top + cell / 2};
}

std::optional<std::wstring> TrayBalloonText() {
    // A tooltip window of the tray's process; so is the tip of a hovered icon, without the style.
    const HWND tray = TrayWindow();
    if (!tray) return std::nullopt;
    for (HWND tip : FindTopLevel(TOOLTIPS_CLASSW, nullptr, WindowPid(tray))) {
        wchar_t text[512] = {};
        if (IsWindowVisible(tip) && (GetWindowLongPtrW(tip, GWL_STYLE) & TTS_BALLOON) &&
            SendMessageTimeoutW(tip, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                                SMTO_ABORTIFHUNG, 2000, nullptr))
            return std::wstring(text);
    }
    return std::nullopt;
}

bool Responsive(HWND window) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs) {
    return WaitFor([&] { return FirstVisible(FindTopLevel(L"#32768", nullptr, pid)); }, timeoutMs);
}

std::optional<LRESULT> SendCopyData(HWND hwnd, ULONG_PTR tag, const void* bytes, DWORD byteCount,
                                    DWORD timeoutMs) {
    COPYDATASTRUCT data{tag, byteCount, const_cast<void*>(bytes)};
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer))
        return std::nullopt;
    return LRESULT(answer);
}

OwnWindow::OwnWindow(RECT at, DWORD extraExStyle) {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = L"DriverWindow";
        return RegisterClassW(&windowClass);
    }();
    hwnd_ =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | extraExStyle, MAKEINTATOM(atom),
                        L"Driver window", WS_POPUP, at.left, at.top, at.right - at.left,
                        at.bottom - at.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd_) ShowWindow(hwnd_, SW_SHOWNA);
}

void OwnWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

HWND IndexOnly(HWND hwnd) {
    return reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(hwnd) & 0xFFFF);
}

bool IndexTaker::Take(HWND index) {
    for (int i = 0; i < 400; ++i) {
        windows_.push_back(std::make_unique<OwnWindow>());
        if (IndexOnly(windows_.back()->Get()) == index) return true;
    }
    return false;
}

std::vector<HWND> OptionsDialogs(DWORD pid) {
    std::vector<HWND> dialogs;
    for (HWND dialog : FindTopLevel(L"#32770", lumetta::APP_TITLE, pid))
        if (IsWindowVisible(dialog) && GetDlgItem(dialog, IDC_TABS)) dialogs.push_back(dialog);
    return dialogs;
}

HWND WaitOptionsDialog(DWORD pid) {
    return WaitFor([&] { return FirstVisible(OptionsDialogs(pid)); });
}

HWND DialogControl(HWND dialog, int id) {
    for (HWND page = nullptr; (page = FindWindowExW(dialog, page, L"#32770", nullptr));)
        if (GetDlgItem(page, id)) return GetDlgItem(page, id);
    return GetDlgItem(dialog, id);
}

POINT Middle(HWND window) {
    const RECT r = Inspect(window).window;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void ClickOn(HWND window) {
    Click(Middle(window).x, Middle(window).y);
}

bool ShowAboutTab(HWND dialog) {
    // Where the tab is drawn at 96 DPI, in a tab control of 454 × 343 pixels: the tab control
    // tells no other process where its tabs are, and under Wine the arrow keys did not move it
    // from tab to tab.
    const RECT tabs = Inspect(GetDlgItem(dialog, IDC_TABS)).window;
    Click(tabs.left + (tabs.right - tabs.left) * 107 / 454,
          tabs.top + (tabs.bottom - tabs.top) * 12 / 343);
    const HWND about = GetParent(DialogControl(dialog, IDC_ABOUT_TITLE));
    return WaitUntil([&] { return IsWindowVisible(about); }, kWindowTimeoutMs);
}

} // namespace e2e

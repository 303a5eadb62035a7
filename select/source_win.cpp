#include "select/source_win.h"

#include <dwmapi.h>

#include <iterator>

#include "app/base/context_win.h"
#include "app/base/window_helpers_win.h"
#include "select/constants.h"
#include "select/source_filter.h"

namespace lumetta {
namespace {

// The owner at the end of the chain, stopping below the shell window: a window owned by the
// desktop counts as unowned.
HWND RootOwner(HWND hwnd, HWND shell) {
    HWND root = hwnd;
    for (HWND owner = GetWindow(root, GW_OWNER); owner && owner != shell;
         owner = GetWindow(root, GW_OWNER)) {
        root = owner;
    }
    return root;
}

// Cloaked windows (on another virtual desktop, or hidden by the compositor) are visible to
// USER32 but not on the screen. A failed query does not count as cloaked.
bool IsCloaked(HWND hwnd) {
    DWORD cloaked = 0;
    HRESULT hr = DwmGetWindowAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof(cloaked));
    return SUCCEEDED(hr) && cloaked != 0;
}

// An owned layered window that shows nothing, such as a preview's hover bar drawn with per-pixel
// alpha, whose layered attributes cannot be read.
bool IsInvisibleOwnedLayer(HWND hwnd) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    const bool read = GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags) != FALSE;
    return IsInvisibleLayer(read, flags == LWA_ALPHA, alpha);
}

bool HasExcludedName(HWND hwnd) {
    wchar_t name[SOURCE_NAME_BUFFER_CHARS];
    if (GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) > 0 &&
        IsExcludedSourceClass(name)) {
        return true;
    }
    // InternalGetWindowText reads the title without sending WM_GETTEXT, so a hung window cannot
    // stall the search.
    wchar_t title[SOURCE_NAME_BUFFER_CHARS];
    return InternalGetWindowText(hwnd, title, static_cast<int>(std::size(title))) > 0 &&
           IsExcludedSourceTitle(title);
}

} // namespace

BOOL CALLBACK FindSourceWindowProc(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<SourceSearch*>(lParam);
    if (!IsWindowVisible(hwnd)) return TRUE;
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    const HWND root = RootOwner(hwnd, GetShellWindow());
    if (IsWindows8OrLater()) {
        if (IsCloaked(hwnd)) return TRUE;
        if (root != hwnd && IsCloaked(root)) return TRUE;
    }
    if ((exStyle & WS_EX_LAYERED) && root != hwnd && IsInvisibleOwnedLayer(hwnd)) return TRUE;
    RECT rect{};
    if (!GetWindowRect(hwnd, &rect)) return TRUE;
    if (HasExcludedName(hwnd)) return TRUE;
    if (!PtInRect(&rect, search->point)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindSourceWindow(const RECT& selection) {
    const Point centre = SelectionCenter(ToRect(selection));
    SourceSearch search{POINT{centre.x, centre.y}, nullptr};
    EnumWindows(FindSourceWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found ? search.found : GetShellWindow();
}

} // namespace lumetta

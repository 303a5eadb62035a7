#include "options/hyperlink_win.h"

#include <windowsx.h>

#include <iterator>
#include <new>

#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "options/constants.h"
#include "options/dialog.h"
#include "options/theme_win.h"

namespace lumetta {
namespace {

struct HyperlinkRecord {
    WNDPROC previous = nullptr;
    HCURSOR cursor = nullptr;
    OwnedFont font; // the underlined copy of the control's font
    COLORREF colour = 0;
    bool pressed = false;
    uint32_t options = 0;
};

struct LinkRecordTraits {
    static HyperlinkRecord* Invalid() { return nullptr; }
    static void Free(HyperlinkRecord* link) {
        link->~HyperlinkRecord();
        HeapFree(GetProcessHeap(), 0, link);
    }
};
using OwnedLink = Owned<HyperlinkRecord*, LinkRecordTraits>;

// From the process heap rather than operator new, which would bring the C++ runtime's exception
// support into the program.
OwnedLink NewLink() {
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(HyperlinkRecord));
    return OwnedLink(block ? new (block) HyperlinkRecord{} : nullptr);
}

constexpr UINT TEXT_FORMAT = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT;
constexpr LONG_PTR MEASURE_EXTENT = 32767;

LRESULT CALLBACK HyperlinkProc(HWND, UINT, WPARAM, LPARAM);

HyperlinkRecord* LinkOf(HWND control) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC)) != HyperlinkProc) {
        return nullptr;
    }
    return RecordOf<HyperlinkRecord>(control);
}

LRESULT CallPrevious(const HyperlinkRecord* link, HWND control, UINT message, WPARAM wParam,
                     LPARAM lParam) {
    return CallWindowProcW(link->previous, control, message, wParam, lParam);
}

void Redraw(HWND control) {
    InvalidateRect(control, nullptr, TRUE);
    UpdateWindow(control);
}

void Paint(const HyperlinkRecord* link, HWND control, HDC dc) {
    wchar_t text[HYPERLINK_TEXT_UNITS] = {};
    GetWindowTextW(control, text, static_cast<int>(std::size(text)));
    RECT client{};
    GetClientRect(control, &client);
    if (Theme.buttonTheme) {
        Theme.drawThemeParentBackground(control, dc, &client);
    } else {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    const COLORREF colour = SetTextColor(dc, link->colour);
    const int mode = SetBkMode(dc, TRANSPARENT);
    {
        SelectionGuard font(dc, link->font.Get());
        DrawTextW(dc, text, -1, &client, TEXT_FORMAT);
    }
    SetBkMode(dc, mode);
    SetTextColor(dc, colour);
}

LRESULT OnLButtonDown(HyperlinkRecord* link, HWND control, WPARAM wParam, LPARAM lParam) {
    SetCapture(control);
    link->pressed = true;
    return CallPrevious(link, control, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLButtonUp(HyperlinkRecord* link, HWND control, WPARAM wParam, LPARAM lParam) {
    ReleaseCapture();
    const bool pressed = link->pressed;
    link->pressed = false;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(control, &at);
    RECT window{};
    GetWindowRect(control, &window);
    if (IsLinkClick(pressed, Point{at.x, at.y}, ToRect(window)) && LinkOf(control)) {
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), HLN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    }
    return CallPrevious(link, control, WM_LBUTTONUP, wParam, lParam);
}

LRESULT OnSetCursor(const HyperlinkRecord* link) {
    SetCursor(link->cursor ? link->cursor : LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT OnSetFont(HyperlinkRecord* link, HWND control, WPARAM font, LPARAM redraw) {
    HGDIOBJ given = font ? reinterpret_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
    LOGFONTW description{};
    if (GetObjectW(given, sizeof(description), &description)) {
        description.lfUnderline = TRUE;
        link->font.Reset(CreateFontIndirectW(&description));
    }
    CallPrevious(link, control, WM_SETFONT, font, FALSE);
    if (link->options & HYPERLINK_AUTO_SIZE) SizeHyperlinkToText(control, false);
    if (LOWORD(redraw)) Redraw(control);
    return 0;
}

LRESULT OnSetText(HyperlinkRecord* link, HWND control, WPARAM wParam, LPARAM text) {
    const LRESULT result = CallPrevious(link, control, WM_SETTEXT, wParam, text);
    if (link->options & HYPERLINK_AUTO_SIZE) SizeHyperlinkToText(control, false);
    Redraw(control);
    return result;
}

LRESULT OnPaint(const HyperlinkRecord* link, HWND control, WPARAM dc) {
    if (dc) {
        Paint(link, control, reinterpret_cast<HDC>(dc));
        return 0;
    }
    PAINTSTRUCT ps;
    if (HDC painted = BeginPaint(control, &ps)) {
        Paint(link, control, painted);
        EndPaint(control, &ps);
    }
    return 0;
}

LRESULT OnNcDestroy(HWND control, WPARAM wParam, LPARAM lParam) {
    const OwnedLink link(RecordOf<HyperlinkRecord>(control));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link.Get()->previous));
    SetWindowLongPtrW(control, GWLP_USERDATA, 0);
    return CallWindowProcW(link.Get()->previous, control, WM_NCDESTROY, wParam, lParam);
}

LRESULT CALLBACK HyperlinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    HyperlinkRecord* link = RecordOf<HyperlinkRecord>(control);
    if (!link) return DefWindowProcW(control, message, wParam, lParam);
    switch (message) {
    case WM_LBUTTONDOWN: return OnLButtonDown(link, control, wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(link, control, wParam, lParam);
    case WM_SETCURSOR: return OnSetCursor(link);
    case WM_NCHITTEST: return HTCLIENT;
    case WM_SETFONT: return OnSetFont(link, control, wParam, lParam);
    case WM_SETTEXT: return OnSetText(link, control, wParam, lParam);
    case WM_PAINT: return OnPaint(link, control, wParam);
    case WM_NCDESTROY: return OnNcDestroy(control, wParam, lParam);
    default: return CallPrevious(link, control, message, wParam, lParam);
    }
}

} // namespace

bool MakeHyperlink(HWND control) {
    if (!IsWindow(control)) return false;
    HyperlinkRecord* link = LinkOf(control);
    if (!link) {
        OwnedLink made = NewLink();
        if (!made) return false;
        const WPARAM font = static_cast<WPARAM>(SendMessageW(control, WM_GETFONT, 0, 0));
        made.Get()->cursor = LoadCursorW(nullptr, IDC_HAND);
        // The record is in place before the procedure, so no message finds one without the other.
        made.Get()->previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
        link = made.Release();
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(link));
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HyperlinkProc));
        SendMessageW(control, WM_SETFONT, font, FALSE);
    }
    link->colour = LinkColour(GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_GRAYTEXT));
    link->options = HYPERLINK_AUTO_SIZE;
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    SetWindowLongPtrW(control, GWL_STYLE, (style & ~LONG_PTR{WS_BORDER | WS_TABSTOP}) | SS_NOTIFY);
    SizeHyperlinkToText(control, false);
    Redraw(control);
    return true;
}

bool SizeHyperlinkToText(HWND control, bool redraw) {
    const HyperlinkRecord* link = LinkOf(control);
    if (!link) return false;
    wchar_t text[HYPERLINK_TEXT_UNITS] = {};
    GetWindowTextW(control, text, static_cast<int>(std::size(text)));
    RECT extent{0, 0, MEASURE_EXTENT, MEASURE_EXTENT};
    {
        WindowDc dc(control);
        if (!dc) return false;
        SelectionGuard font(dc.Get(), link->font.Get());
        DrawTextW(dc.Get(), text, -1, &extent, TEXT_FORMAT | DT_CALCRECT);
    }
    return SetWindowPos(
               control, nullptr, 0, 0, extent.right - extent.left, extent.bottom - extent.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (redraw ? 0 : SWP_NOREDRAW)) != FALSE;
}

} // namespace lumetta

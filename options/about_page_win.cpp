// The About page: the program's icon, name and version, the notice, the web and e-mail links and
// the two subscribe buttons, each of which hands its address to the shell.
#include <windows.h>
#include <shellapi.h>

#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "app/base/context_win.h"
#include "options/constants.h"
#include "options/dialog.h"
#include "options/hyperlink_win.h"
#include "options/pages_win.h"
#include "options/theme_win.h"
#include "res/about.h"
#include "res/resource.h"

namespace lumetta {
namespace {

// What each control opens.
struct PageAddress {
    int control;
    WORD notification;
    const wchar_t* address;
};
constexpr PageAddress PAGE_ADDRESSES[] = {
    {IDC_SUBSCRIBE_RSS, BN_CLICKED, L"" ABOUT_FEED_ADDRESS},
    {IDC_SUBSCRIBE_EMAIL, BN_CLICKED, L"" ABOUT_NEWSLETTER_ADDRESS},
    {IDC_WEB_LINK, HLN_CLICKED, L"" ABOUT_HOME_ADDRESS},
    {IDC_EMAIL_LINK, HLN_CLICKED, L"" ABOUT_MAIL_ADDRESS},
};

void SetIcon(HWND page, HICON icon) {
    OwnedIcon(reinterpret_cast<HICON>(
        SendDlgItemMessageW(page, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0)));
}

// The title in 1.75 times the height of base, the page's font; the slot keeps it until the
// dialog deletes it. A font that cannot be read leaves the title in the system font.
void ApplyTitleFont(HWND page, HFONT base, bool redraw) {
    LOGFONTW description{};
    if (!AboutTitleFont && base && GetObjectW(base, sizeof(description), &description)) {
        description.lfHeight = TitleFontHeight(description.lfHeight);
        AboutTitleFont.Reset(CreateFontIndirectW(&description));
    }
    SendDlgItemMessageW(page, IDC_ABOUT_TITLE, WM_SETFONT,
                        reinterpret_cast<WPARAM>(AboutTitleFont.Get()), redraw);
}

HFONT FontOf(HWND window) {
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

INT_PTR OnInitDialog(HWND page) {
    Pages.about = page;
    EnableTabTexture(page);
    TextBuffer title;
    LoadText(IDS_ABOUT_TITLE, title);
    SetDlgItemTextW(page, IDC_ABOUT_TITLE, title);
    SetIcon(page,
            static_cast<HICON>(LoadImageW(Context.instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                          ABOUT_ICON_PIXELS, ABOUT_ICON_PIXELS, 0)));
    RECT box{0, 0, ABOUT_ICON_BOX_DLU, 0};
    MapDialogRect(page, &box);
    const int side = IconBoxSide(box.right);
    SetWindowPos(GetDlgItem(page, IDC_ABOUT_ICON), nullptr, 0, 0, side, side,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ApplyTitleFont(page, FontOf(GetDlgItem(page, IDC_ABOUT_TITLE)), false);
    MakeHyperlink(GetDlgItem(page, IDC_WEB_LINK));
    MakeHyperlink(GetDlgItem(page, IDC_EMAIL_LINK));
    return TRUE;
}

// The title font the dialog just deleted is rebuilt from the page's own font at the new DPI.
INT_PTR OnDpiChanged(HWND page) {
    ApplyTitleFont(page, FontOf(page), true);
    SizeHyperlinkToText(GetDlgItem(page, IDC_WEB_LINK), true);
    SizeHyperlinkToText(GetDlgItem(page, IDC_EMAIL_LINK), true);
    return FALSE;
}

INT_PTR OnCommand(HWND page, WPARAM wParam) {
    for (const PageAddress& target : PAGE_ADDRESSES) {
        if (LOWORD(wParam) == target.control && HIWORD(wParam) == target.notification) {
            ShellExecuteW(page, L"open", target.address, nullptr, nullptr, SW_SHOWNORMAL);
        }
    }
    return FALSE;
}

INT_PTR OnDestroy(HWND page) {
    SetIcon(page, nullptr);
    Pages.about = nullptr;
    return FALSE;
}

} // namespace

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_COMMAND: return OnCommand(page, wParam);
    case WM_DESTROY: return OnDestroy(page);
    case WM_OPTIONS_DPICHANGED: return OnDpiChanged(page);
    default: return FALSE;
    }
}

} // namespace lumetta

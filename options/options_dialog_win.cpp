#include "options/options_dialog_win.h"

#include <commctrl.h>

#include <iterator>

#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "options/constants.h"
#include "options/dialog.h"
#include "options/pages_win.h"
#include "options/settings_win.h"
#include "options/theme_win.h"
#include "res/resource.h"

namespace lumetta {

OptionsPages Pages;

namespace {

constexpr int OPTIONS_TAB = 0;
constexpr int ABOUT_TAB = 1;

const UINT TAB_TEXT_IDS[] = {IDS_TAB_OPTIONS, IDS_TAB_ABOUT};

// A width and height in dialog units as pixels of the dialog.
Point DialogUnits(HWND dialog, int x, int y) {
    RECT units{0, 0, x, y};
    MapDialogRect(dialog, &units);
    return Point{units.right, units.bottom};
}

Point SizeOf(const RECT& r) {
    return Point{r.right - r.left, r.bottom - r.top};
}

Point WindowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return SizeOf(r);
}

void GrowWindow(HWND window, Point growth) {
    const Point size = WindowSize(window);
    SetWindowPos(window, nullptr, 0, 0, size.x + growth.x, size.y + growth.y,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- the Options page

void FillCombo(HWND combo, const ComboItem* items, size_t count) {
    OwnedImageList previous(reinterpret_cast<HIMAGELIST>(
        SendMessageW(combo, CBEM_SETIMAGELIST, 0,
                     reinterpret_cast<LPARAM>(
                         ImageList_Create(1, COMBO_ITEM_HEIGHT, ILC_COLOR32 | ILC_MASK, 1, 1)))));
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < count; ++i) {
        wchar_t text[COMBO_TEXT_UNITS];
        LoadText(items[i].textId, text, static_cast<int>(std::size(text)));
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
        item.iItem = static_cast<INT_PTR>(i);
        item.pszText = text;
        item.lParam = items[i].value;
        SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void DetachImageList(HWND combo) {
    OwnedImageList(reinterpret_cast<HIMAGELIST>(SendMessageW(combo, CBEM_SETIMAGELIST, 0, 0)));
}

INT_PTR OnGeneralInit(HWND page) {
    Pages.general = page;
    EnableTabTexture(page);
    FillCombo(GetDlgItem(page, IDC_DBLCLICK_ACTION), DBLCLICK_ACTION_ITEMS,
              std::size(DBLCLICK_ACTION_ITEMS));
    FillCombo(GetDlgItem(page, IDC_NEW_PREVIEW_ACTION), NEW_PREVIEW_ACTION_ITEMS,
              std::size(NEW_PREVIEW_ACTION_ITEMS));
    return TRUE;
}

INT_PTR OnGeneralDestroy(HWND page) {
    DetachImageList(GetDlgItem(page, IDC_DBLCLICK_ACTION));
    DetachImageList(GetDlgItem(page, IDC_NEW_PREVIEW_ACTION));
    Pages.general = nullptr;
    return FALSE;
}

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return OnGeneralInit(page);
    case WM_DESTROY: return OnGeneralDestroy(page);
    default: return FALSE;
    }
}

std::optional<uint32_t> SelectedValue(HWND combo) {
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (item.iItem < 0 || !SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return std::nullopt;
    return static_cast<uint32_t>(item.lParam);
}

void SelectValue(HWND combo, uint32_t value) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(FindComboItemByData(combo, value)), 0);
}

void ShowControls(HWND page, const GeneralControls& controls) {
    CheckRadioButton(page, IDC_SHOW_TRAY_ICON, IDC_SILENT_MODE,
                     controls.silentMode ? IDC_SILENT_MODE : IDC_SHOW_TRAY_ICON);
    CheckDlgButton(page, IDC_KEEP_ON_TOP, controls.keepOnTop ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_TASKBAR_BUTTONS,
                   controls.taskbarButtons ? BST_CHECKED : BST_UNCHECKED);
    SelectValue(GetDlgItem(page, IDC_NEW_PREVIEW_ACTION), controls.newPreviewAction.value_or(0));
    SelectValue(GetDlgItem(page, IDC_DBLCLICK_ACTION),
                controls.dblClickAction.value_or(SETTINGS_DEFAULT_DBL_ACTION));
}

GeneralControls ReadControls(HWND page) {
    GeneralControls controls;
    controls.silentMode = IsDlgButtonChecked(page, IDC_SILENT_MODE) == BST_CHECKED;
    controls.keepOnTop = IsDlgButtonChecked(page, IDC_KEEP_ON_TOP) == BST_CHECKED;
    controls.taskbarButtons = IsDlgButtonChecked(page, IDC_TASKBAR_BUTTONS) == BST_CHECKED;
    controls.newPreviewAction = SelectedValue(GetDlgItem(page, IDC_NEW_PREVIEW_ACTION));
    controls.dblClickAction = SelectedValue(GetDlgItem(page, IDC_DBLCLICK_ACTION));
    return controls;
}

// ---- the dialog

// Hides both pages and shows the selected one in the tab's display area, fitting the dialog to
// the page the first time.
void ShowSelectedPage(HWND dialog) {
    ShowWindow(Pages.general, SW_HIDE);
    ShowWindow(Pages.about, SW_HIDE);
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    const LRESULT selected = SendMessageW(tabs, TCM_GETCURSEL, 0, 0);
    if (selected != OPTIONS_TAB && selected != ABOUT_TAB) return;
    HWND page = selected == OPTIONS_TAB ? Pages.general : Pages.about;
    RECT area{};
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, dialog, reinterpret_cast<POINT*>(&area), 2);
    RECT pageClient{};
    GetClientRect(page, &pageClient);
    const Point growth = PageFitGrowth(SizeOf(pageClient), ToRect(area));
    if (growth.x || growth.y) {
        GrowWindow(dialog, growth);
        GrowWindow(tabs, growth);
    }
    SetWindowPos(page, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void SelectTab(HWND dialog, int tab) {
    SendMessageW(GetDlgItem(dialog, IDC_TABS), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    ShowSelectedPage(dialog);
}

void LayOut(HWND dialog, Point clientSize) {
    HWND ok = GetDlgItem(dialog, IDC_OK);
    HWND cancel = GetDlgItem(dialog, IDC_CANCEL);
    const ButtonPlaces places =
        LayOutButtons(clientSize, DialogUnits(dialog, BUTTON_MARGIN_DLU_X, BUTTON_MARGIN_DLU_Y),
                      WindowSize(ok), WindowSize(cancel));
    constexpr UINT KEEP = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(cancel, nullptr, places.cancel.x, places.cancel.y, 0, 0, KEEP);
    SetWindowPos(ok, nullptr, places.ok.x, places.ok.y, 0, 0, KEEP);
}

void LayOutClient(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    LayOut(dialog, SizeOf(client));
}

INT_PTR OnSetTexts(HWND dialog) {
    TextBuffer text;
    LoadText(IDS_OPTIONS_TITLE, text);
    SetWindowTextW(dialog, text);
    LoadText(IDS_OK, text);
    SetDlgItemTextW(dialog, IDC_OK, text);
    LoadText(IDS_CANCEL, text);
    SetDlgItemTextW(dialog, IDC_CANCEL, text);
    for (int tab = OPTIONS_TAB; tab <= ABOUT_TAB; ++tab) {
        LoadText(TAB_TEXT_IDS[tab], text);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        SendMessageW(GetDlgItem(dialog, IDC_TABS), TCM_SETITEMW, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
    }
    SelectTab(dialog, OPTIONS_TAB);
    return FALSE;
}

INT_PTR OnInitDialog(HWND dialog) {
    Context.hOptionsDialog = dialog;
    PrepareDialogTheme(dialog);
    EnableTabTexture(dialog);
    SetProgramIcons(dialog);
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    for (int tab = OPTIONS_TAB; tab <= ABOUT_TAB; ++tab) {
        TCITEMW item{};
        item.mask = TCIF_PARAM;
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&item));
    }
    if (!CreateDialogParamW(Context.instance, MAKEINTRESOURCEW(IDD_GENERAL_PAGE), dialog,
                            GeneralPageProc, 0) ||
        !CreateDialogParamW(Context.instance, MAKEINTRESOURCEW(IDD_ABOUT_PAGE), dialog,
                            AboutPageProc, 0)) {
        EndDialog(dialog, 0);
        return FALSE;
    }
    const Point padding = DialogUnits(dialog, TAB_PADDING_DLU_X, TAB_PADDING_DLU_Y);
    SendMessageW(tabs, TCM_SETPADDING, 0, MAKELPARAM(padding.x, padding.y));
    SendMessageW(dialog, WM_OPTIONS_SETTEXTS, 0, 0);
    CenterOnMonitor(dialog, nullptr);
    ShowControls(Pages.general, ControlsFromSettings(Context.settings));
    SelectTab(dialog, OPTIONS_TAB);
    SetFocus(GetDlgItem(dialog, IDC_OK));
    return TRUE;
}

void OnOk(HWND dialog) {
    Context.settings = SettingsFromControls(ReadControls(Pages.general));
    SaveSettings(Context.settings); // a failed save is not reported
    RequestShell(Context.shell.showTrayIcon, !HasSetting(SETTINGS_SILENT_MODE));
    EndDialog(dialog, 1);
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_OK:
    case IDOK: OnOk(dialog); break;
    case IDC_CANCEL:
    case IDCANCEL: EndDialog(dialog, 0); break;
    default: break;
    }
    return FALSE;
}

// A notification from the tab control: after a change of tab (TCN_SELCHANGE) the selected page
// is not the one shown. The header itself is not read: from another process it would point into
// that process's memory.
INT_PTR OnNotify(HWND dialog, WPARAM control) {
    if (control != IDC_TABS) return FALSE;
    const LRESULT selected = SendDlgItemMessageW(dialog, IDC_TABS, TCM_GETCURSEL, 0, 0);
    HWND shown = selected == OPTIONS_TAB ? Pages.general : Pages.about;
    if (!IsWindowVisible(shown)) ShowSelectedPage(dialog);
    return FALSE;
}

INT_PTR OnSize(HWND dialog, LPARAM size) {
    LayOut(dialog, Point{LOWORD(size), HIWORD(size)});
    return FALSE;
}

// Shown by a call, not because a parent was: the focus starts on OK.
INT_PTR OnShowWindow(HWND dialog, WPARAM shown, LPARAM status) {
    if (shown && status == 0) SetFocus(GetDlgItem(dialog, IDC_OK));
    return FALSE;
}

INT_PTR OnDpiChanged(HWND dialog, WPARAM wParam, LPARAM lParam) {
    RECT suggested{};
    if (CopyOwnMessageData(lParam, &suggested, sizeof(suggested)) &&
        !IsRectEmpty(ToRect(suggested))) {
        const Point size = SizeOf(suggested);
        SetWindowPos(dialog, nullptr, suggested.left, suggested.top, size.x, size.y,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AboutTitleFont.Reset();
    for (HWND page : {Pages.general, Pages.about})
        SendMessageW(page, WM_OPTIONS_DPICHANGED, wParam, lParam);
    LayOutClient(dialog);
    return FALSE;
}

INT_PTR OnDestroy() {
    Context.hOptionsDialog = nullptr;
    return FALSE;
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_NOTIFY: return OnNotify(dialog, wParam);
    case WM_SIZE: return OnSize(dialog, lParam);
    case WM_SHOWWINDOW: return OnShowWindow(dialog, wParam, lParam);
    case WM_DPICHANGED: return OnDpiChanged(dialog, wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_OPTIONS_SETTEXTS: return OnSetTexts(dialog);
    default: return FALSE;
    }
}

} // namespace

int FindComboItemByData(HWND combo, uint32_t value) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_LPARAM;
        item.iItem = i;
        if (SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) &&
            static_cast<uint32_t>(item.lParam) == value) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

INT_PTR RunOptionsDialog() {
    return DialogBoxParamW(Context.instance, MAKEINTRESOURCEW(IDD_OPTIONS), nullptr,
                           OptionsDialogProc, 0);
}

} // namespace lumetta

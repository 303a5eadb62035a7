#include "options/options_dialog_win.h"

#include "app/base/context_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: Context.hOptionsDialog = dialog; return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY: Context.hOptionsDialog = nullptr; return FALSE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR RunOptionsDialog() {
    return DialogBoxParamW(Context.instance, MAKEINTRESOURCEW(IDD_OPTIONS), nullptr,
                           OptionsDialogProc, 0);
}

} // namespace lumetta

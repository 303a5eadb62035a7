#include "options/theme_win.h"

namespace lumetta {

ThemeApi Theme;
OwnedFont AboutTitleFont;

namespace {

template <typename Function> void Resolve(Function* function, const char* name) {
    *function = ProcAddress<Function>(Theme.library.Get(), name);
}

} // namespace

bool LoadThemeApi(HWND window) {
    Theme.library.Reset(LoadSystemLibrary(L"uxtheme.dll"));
    if (!Theme.library) return false;
    decltype(&OpenThemeData) openThemeData = nullptr;
    Resolve(&openThemeData, "OpenThemeData");
    if (openThemeData) {
        Theme.buttonTheme = openThemeData(window, L"Button");
        Resolve(&Theme.closeThemeData, "CloseThemeData");
        Resolve(&Theme.isThemeBackgroundPartiallyTransparent,
                "IsThemeBackgroundPartiallyTransparent");
        Resolve(&Theme.drawThemeParentBackground, "DrawThemeParentBackground");
        Resolve(&Theme.drawThemeBackground, "DrawThemeBackground");
        Resolve(&Theme.getThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
        Resolve(&Theme.drawThemeText, "DrawThemeText");
        Resolve(&Theme.enableThemeDialogTexture, "EnableThemeDialogTexture");
    }
    if (openThemeData && Theme.closeThemeData && Theme.isThemeBackgroundPartiallyTransparent &&
        Theme.drawThemeParentBackground && Theme.drawThemeBackground &&
        Theme.getThemeBackgroundContentRect && Theme.drawThemeText &&
        Theme.enableThemeDialogTexture && Theme.buttonTheme) {
        return true;
    }
    if (Theme.buttonTheme && Theme.closeThemeData) Theme.closeThemeData(Theme.buttonTheme);
    Theme = ThemeApi{}; // frees the library
    return false;
}

void PrepareDialogTheme(HWND dialog) {
    AboutTitleFont.Reset();
    if (!Theme.library) LoadThemeApi(dialog);
}

void EnableTabTexture(HWND dialog) {
    if (Theme.enableThemeDialogTexture) Theme.enableThemeDialogTexture(dialog, ETDT_ENABLETAB);
}

} // namespace lumetta

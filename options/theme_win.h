// The visual-styles functions, loaded by name the first time the Options dialog opens, so that the
// program still runs, unthemed, where the library or one of them is missing.
#pragma once

#include <windows.h>
#include <uxtheme.h>

#include "app/base/handles_win.h"

namespace lumetta {

struct ThemeApi {
    OwnedModule library; // kept for the rest of the run once loaded
    decltype(&CloseThemeData) closeThemeData = nullptr;
    decltype(&IsThemeBackgroundPartiallyTransparent) isThemeBackgroundPartiallyTransparent =
        nullptr;
    decltype(&DrawThemeParentBackground) drawThemeParentBackground = nullptr;
    decltype(&DrawThemeBackground) drawThemeBackground = nullptr;
    decltype(&GetThemeBackgroundContentRect) getThemeBackgroundContentRect = nullptr;
    decltype(&DrawThemeText) drawThemeText = nullptr;
    decltype(&EnableThemeDialogTexture) enableThemeDialogTexture = nullptr;
    HTHEME buttonTheme = nullptr; // open: the controls are themed
};

extern ThemeApi Theme;

// Loads the functions and opens the "Button" theme data for window; false, with everything
// empty again, when any of it is missing.
bool LoadThemeApi(HWND window);
// Deletes the About page's cached title font and, the first time, loads the theme functions for
// the dialog.
void PrepareDialogTheme(HWND dialog);
// The tab pages' textured background for a dialog or page, where the theme has it.
void EnableTabTexture(HWND dialog);

// The About page's title font, made by the page when it finds the slot empty and deleted by the
// dialog whenever it opens or its DPI changes.
extern OwnedFont AboutTitleFont;

} // namespace lumetta

// What the Options dialog and its pages share: their private messages, their windows and the
// About page's procedure.
#pragma once

#include <windows.h>

namespace lumetta {

// To the dialog: load its texts from the string table and show the "Options" tab.
constexpr UINT WM_OPTIONS_SETTEXTS = WM_USER + 100;
// To each page: the dialog's DPI changed; wParam and lParam are those of WM_DPICHANGED.
constexpr UINT WM_OPTIONS_DPICHANGED = WM_USER + 115;
static_assert(WM_OPTIONS_SETTEXTS == 1124 && WM_OPTIONS_DPICHANGED == 1139);

// The two pages while they exist; each page sets and clears its own.
struct OptionsPages {
    HWND general = nullptr;
    HWND about = nullptr;
};
extern OptionsPages Pages;

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace lumetta

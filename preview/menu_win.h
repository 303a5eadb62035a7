// A preview's commands and its context menu.
#pragma once

#include <windows.h>

#include "preview/preview_win.h"

namespace lumetta {

// Carries out a preview command (IDM_NEW_PREVIEW to IDM_CLOSE_ALL); any other id is ignored.
void RunPreviewCommand(PreviewWindow* preview, UINT id);

// The context menu at a screen point; the chosen command is carried out.
void ShowPreviewMenu(PreviewWindow* preview, int x, int y);

} // namespace lumetta

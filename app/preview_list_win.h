// The preview list: opening a preview in the right slot under the limit, closing all of them, the
// desktop-composition guard, applying a confirmed Options dialog, and the silent-mode end rule.
#pragma once

#include <windows.h>

namespace lumetta {

// Opens a preview of source over App.pendingRect (the whole client area when it is empty) and
// empties pendingRect. Non-zero when a preview was created.
int OpenPreview(HWND source);
void CloseAllPreviews();
// True when desktop composition is on; otherwise closes every preview and warns.
bool RequireComposition();
void ShowOptions();
bool AnyPreviewOpen();
// Hides the hover bar of every open preview until the pointer has left it.
void SuspendOverlays();
// WM_PREVIEW_CLOSED: a silent-mode instance ends with its last preview.
LRESULT OnPreviewClosed();

} // namespace lumetta

// A preview under the mouse and the keyboard: the picture moves the window like a title bar, or
// with Ctrl held (and while maximized) pans; clicks, the wheel and the keys zoom, maximize and
// show the menu. The preview never passes input on to its source.
#pragma once

#include <windows.h>

#include "preview/preview_win.h"

namespace lumetta {

// The hit-test code at a screen point (lParam of WM_NCHITTEST).
LRESULT HitTestPreview(const PreviewWindow* preview, LPARAM screenPoint);

// The left button on the picture acting as a title bar; false when the system's own handling
// (activation and the move loop) must not follow.
bool PressOnFrame(PreviewWindow* preview);
void DoubleClickOnFrame(PreviewWindow* preview);
void RightReleaseOnFrame(PreviewWindow* preview, WPARAM hitCode, LPARAM screenPoint);

// The left button on the picture acting as a client area.
void PressOnPicture(PreviewWindow* preview, LPARAM clientPoint);
void ReleasePicture(PreviewWindow* preview);
void DoubleClickOnPicture(PreviewWindow* preview);
void RightReleaseOnPicture(PreviewWindow* preview, LPARAM clientPoint);
// The pointer moved over the client area: a pan drag follows it, otherwise the overlay shows.
void MoveOverPicture(PreviewWindow* preview, LPARAM clientPoint);
// The pointer moved over the frame.
void MoveOverFrame(PreviewWindow* preview);
void PointerLeft(PreviewWindow* preview);
// A drag ends without its button-up: the capture went elsewhere, or the system cancelled modes.
void EndDrag(PreviewWindow* preview, bool releaseCapture);
// The double-click time has passed since a click on the active preview.
void CompleteClick(PreviewWindow* preview);

void TurnWheel(PreviewWindow* preview, WPARAM wParam);
void PressKey(PreviewWindow* preview, WPARAM key);

// A box with the source's handle, class, title and program path.
void ShowSourceInfo(PreviewWindow* preview);

} // namespace lumetta

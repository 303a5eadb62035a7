// Windows on the desktop seen from outside: found by class and title, inspected, sent messages;
// message boxes, Wine's tray window and popup menus; and plain windows of the driver's own.
// Rectangles as tests compare and print them, and the screen's own.
#pragma once

#include "rig.h"

#include <memory>
#include <ostream>

// In the global namespace, beside RECT itself, so that EXPECT_EQ finds them.
bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* out); // (left, top, right, bottom)

namespace e2e {

std::wstring RectArgs(const RECT& r); // "left top right bottom", as the command line takes it
RECT PrimaryWorkArea();

struct WindowInfo {
    std::wstring title;
    RECT window{}; // screen coordinates
    RECT client{}; // the client area in screen coordinates
    DWORD style = 0, exStyle = 0;
    HWND owner = nullptr;
    bool visible = false;
};

// Top-level windows that match; an empty class or a null title matches any, pid 0 any process.
std::vector<HWND> FindTopLevel(const wchar_t* cls, const wchar_t* title, DWORD pid = 0);
HWND FirstVisible(const std::vector<HWND>& windows);
HWND WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = kWindowTimeoutMs,
                DWORD pid = 0);
bool WaitWindowGone(HWND hwnd, DWORD timeoutMs = kWindowTimeoutMs);
WindowInfo Inspect(HWND hwnd);
DWORD WindowPid(HWND hwnd);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption, text;
    HWND owner = nullptr;
};
// Visible message boxes (dialogs with a text control) of a process (0: any).
std::vector<MessageBoxInfo> MessageBoxes(DWORD pid = 0);
// Waits for a message box of the process and dismisses it as a user does, with its default
// button; what it said, or nullopt when none came.
std::optional<MessageBoxInfo> TakeMessageBox(DWORD pid, DWORD timeoutMs = kWindowTimeoutMs);
void DismissMessageBox(const MessageBoxInfo& box);

// With no system tray on the X display, Wine's explorer shows the icons in a window of its own,
// "Wine System Tray", visible exactly while at least one icon is in it.
HWND TrayWindow();
bool WaitTrayVisible(bool visible, DWORD timeoutMs = kWindowTimeoutMs);
POINT FirstTrayIcon(); // a screen point on the first icon
// A balloon on an icon: Wine shows it as a tooltip window of the tray's process.
std::optional<std::wstring> TrayBalloonText();
// The window's thread has handled everything sent or posted to it before (5 s at most).
bool Responsive(HWND window);
// Waits for the popup menu window (#32768) of a process.
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs = 5000);

// The Options dialogs of a process (its visible dialogs with the tab control), the first one once
// it is there, and a control of the dialog or of one of its pages.
std::vector<HWND> OptionsDialogs(DWORD pid);
HWND WaitOptionsDialog(DWORD pid);
HWND DialogControl(HWND dialog, int id);
// The middle of a window on the screen, and a click there.
POINT Middle(HWND window);
void ClickOn(HWND window);
// Clicks the dialog's "About" tab; true once its page shows.
bool ShowAboutTab(HWND dialog);

// WM_COPYDATA from this process; the answer, or nullopt when none came in time. Messages sent to
// this thread meanwhile are handled, so a window of this process can be asked for its title.
std::optional<LRESULT> SendCopyData(HWND hwnd, ULONG_PTR tag, const void* bytes, DWORD byteCount,
                                    DWORD timeoutMs = 2000);

// A visible grey top-level window of this process, shown without taking the foreground.
class OwnWindow {
public:
    explicit OwnWindow(RECT at = RECT{700, 500, 900, 650}, DWORD extraExStyle = 0);
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    ~OwnWindow() { Destroy(); }
    HWND Get() const { return hwnd_; }
    void Destroy();

private:
    HWND hwnd_ = nullptr;
};

// A handle as the system accepts it with only its index: the same value then names whatever
// window takes that index next.
HWND IndexOnly(HWND hwnd);

// Windows of this process made until one takes the given index, which a window that was just
// destroyed left free. Freed indices are handed out last-freed first, and previews that close on
// their own watch free theirs after the source's, so up to a full preview list (and whatever else
// the desktop freed) may come first. False when none took it.
class IndexTaker {
public:
    bool Take(HWND index);

private:
    std::vector<std::unique_ptr<OwnWindow>> windows_;
};

} // namespace e2e

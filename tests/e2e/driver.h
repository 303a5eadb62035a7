// The end-to-end driver: starts real processes on the runner's desktop, gives input as a user does
// (SendInput, which Wine turns into pointer and key events of the window system), and observes from
// outside: windows, message boxes, the registry, screenshots and the stand-in compositor's record.
// Every wait has a time-out; nothing sleeps blindly.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

// Time-outs, generous for a loaded 2-core machine; waits return as soon as their condition holds.
constexpr DWORD kWindowTimeoutMs = 15000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr DWORD kPollMs = 15;

// ---- environment set by tools/desktop-run ----------------------------------------------------
std::wstring Env(const wchar_t* name);
std::string EnvUtf8(const wchar_t* name);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);
std::wstring LumettaExe();                 // LUMETTA_EXE
std::wstring RigPath(const wchar_t* file); // LUMETTA_RIG\file
std::wstring RunPath(const wchar_t* file); // a Windows path in the run folder

// ---- waiting ---------------------------------------------------------------------------------
// Polls cond until it holds or the time-out passes; pumps this thread's messages meanwhile.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs);

// ---- processes -------------------------------------------------------------------------------
struct Process {
    HANDLE handle = nullptr;
    DWORD pid = 0;
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process(); // ends the process if it still runs, so a failed test leaves nothing behind
    bool Running() const;
    std::optional<DWORD> WaitExit(DWORD timeoutMs = kExitTimeoutMs);
    void Kill();
};

// Starts exe with the given argument string (the program path is quoted in front of it).
Process Start(const std::wstring& exe, const std::wstring& args);
Process StartLumetta(const std::wstring& args);
Process StartRig(const wchar_t* exe, const std::wstring& args);

// Runs lumetta.exe with args and waits for its exit code (nullopt on time-out).
std::optional<DWORD> RunLumetta(const std::wstring& args, DWORD timeoutMs = kExitTimeoutMs);

// Ends every lumetta.exe process on the desktop (by window and by process list) so tests stay
// independent.
void KillAllLumetta();

// ---- windows ---------------------------------------------------------------------------------
struct WindowInfo {
    HWND hwnd = nullptr;
    std::wstring className, title;
    RECT window{}; // screen coordinates
    RECT client{}; // client area in screen coordinates
    DWORD style = 0, exStyle = 0;
    HWND owner = nullptr, parent = nullptr;
    DWORD pid = 0;
    bool visible = false;
};

// Top-level windows that match; an empty class or a null title matches any. pid 0 matches any
// process.
std::vector<HWND> FindTopLevel(const wchar_t* cls, const wchar_t* title, DWORD pid = 0);
HWND WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = kWindowTimeoutMs,
                DWORD pid = 0);
bool WaitWindowGone(HWND hwnd, DWORD timeoutMs = kWindowTimeoutMs);
bool WaitNoWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs = kWindowTimeoutMs);
WindowInfo Inspect(HWND hwnd);
DWORD WindowPid(HWND hwnd);

// ---- message boxes ---------------------------------------------------------------------------
struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring caption, text;
    HWND owner = nullptr;
    RECT rect{};
    DWORD pid = 0;
};
// A message box (dialog class #32770 with a static text) of the given process (0: any).
std::optional<MessageBoxInfo> WaitMessageBox(DWORD pid = 0, DWORD timeoutMs = kWindowTimeoutMs);
std::vector<MessageBoxInfo> MessageBoxes(DWORD pid = 0);
// Dismisses a message box as a user does, pressing its default button.
void DismissMessageBox(const MessageBoxInfo& box);

// ---- the notification area ------------------------------------------------------------------
// With no system tray on the X display, Wine's explorer shows the icons in a window of its own,
// "Wine System Tray", visible exactly while at least one icon is present.
HWND TrayWindow(); // the visible tray window, or null
bool WaitTrayVisible(bool visible, DWORD timeoutMs = kWindowTimeoutMs);
// Screen point on the first icon in the tray window.
POINT FirstTrayIcon();
// The text of the balloon shown on a tray icon (Wine shows it as a tooltip window of its own
// process after a short delay), or nullopt while none is visible.
std::optional<std::wstring> TrayBalloonText();
// The popup menu window (#32768) of a process, or null.
HWND PopupMenuOf(DWORD pid);

// ---- messages from another process -----------------------------------------------------------
// Sends WM_COPYDATA with the given tag and bytes (null data when bytes is null) and returns the
// answer, or nullopt when the window did not answer in time.
std::optional<LRESULT> SendCopyData(HWND hwnd, ULONG_PTR tag, const void* bytes, DWORD byteCount,
                                    DWORD timeoutMs = 2000);

// ---- input through the window system ---------------------------------------------------------
void MouseMove(int x, int y);
void MouseDown(int button = 1); // 1 left, 2 middle, 3 right
void MouseUp(int button = 1);
void Click(int x, int y, int button = 1);
void DoubleClick(int x, int y, int button = 1);
void Drag(int x0, int y0, int x1, int y1, int steps = 8, int button = 1);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void KeyPress(WORD vk, std::initializer_list<WORD> modifiers = {});
POINT CursorPos();

// ---- screenshots -----------------------------------------------------------------------------
struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // 3 bytes a pixel, rows top-down
    std::string pngPath;      // Unix path of the PNG kept for a human
    bool Valid() const { return width > 0 && height > 0; }
    // 0xRRGGBB; 0 outside the picture.
    uint32_t Pixel(int x, int y) const;
};
// Takes a screenshot of the whole composited screen (as a person sees it) and keeps it as
// LUMETTA_SHOTS/<name>.png.
Screenshot TakeScreenshot(const std::string& name);
// Deletes a screenshot's PNG that served only a test's condition.
void DiscardScreenshot(const Screenshot& shot);

// ---- the stand-in compositor -----------------------------------------------------------------
// Lines of the stand-in's record (one JSON object each), in order.
std::vector<std::string> DwmRecord();
// Lines whose "fn" is the given function.
std::vector<std::string> DwmCalls(const std::string& fn);
// A top-level JSON field's raw text (number, "string" without quotes, or [array]/{object} text).
std::optional<std::string> JsonField(const std::string& line, const std::string& key);
// A rectangle field [l, t, r, b], searched anywhere in the line.
std::optional<RECT> JsonRect(const std::string& line, const std::string& key);
void SetComposition(bool on);
void MarkCloaked(HWND hwnd, DWORD value);
void MarkRefused(HWND hwnd, bool refused);

// ---- source fixtures ---------------------------------------------------------------------------
struct FixtureProcess {
    Process process;
    HWND hwnd = nullptr; // null when it did not come up in time
};
// Starts the rig's fixture.exe with the given options and waits until its window is on the
// screen (it writes its handle to a ready file, which this adds to the options).
FixtureProcess StartFixture(const std::wstring& args);

// ---- registry of the prefix ------------------------------------------------------------------
bool RegSetDword(const std::wstring& key, const std::wstring& name, DWORD value);
bool RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value);
bool RegSetBinary(const std::wstring& key, const std::wstring& name, DWORD type,
                  const std::vector<uint8_t>& data);
std::optional<DWORD> RegGetDword(const std::wstring& key, const std::wstring& name);
std::optional<std::wstring> RegGetString(const std::wstring& key, const std::wstring& name);
// Type and size of a value, nullopt when it does not exist.
std::optional<std::pair<DWORD, DWORD>> RegValueInfo(const std::wstring& key,
                                                    const std::wstring& name);
void RegDeleteValueOf(const std::wstring& key, const std::wstring& name);
void RegDeleteKeyTree(const std::wstring& key);

// ---- resources of another process ------------------------------------------------------------
struct GuiCounts {
    DWORD gdi = 0, user = 0;
    SIZE_T privateBytes = 0;
    // Under Wine, which has no GetGuiResources, user counts the process's windows and
    // privateBytes is its working set.
    bool userIsWindowCount = false;
};
GuiCounts ProcessCounts(DWORD pid);

} // namespace e2e

// Entry point: detects the Windows version, reads the command line and the settings, and takes the
// process's role: a selection process, a messenger to the running main instance, or the main
// instance itself.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_win.h"
#include "app/base/constants_win.h"
#include "app/base/context_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "app/cmdline.h"
#include "app/cmdline_win.h"
#include "app/main_window_win.h"
#include "app/preview_list_win.h"
#include "options/settings_win.h"
#include "res/resource.h"
#include "select/gdiplus_win.h"
#include "select/selection_win.h"

#ifndef _WIN64
// The structure layouts the program hands to the system, as documented for 32-bit Windows.
static_assert(sizeof(WNDCLASSEXW) == 48);
static_assert(sizeof(NOTIFYICONDATAW) == 956);
static_assert(sizeof(UPDATELAYEREDWINDOWINFO) == 40);
static_assert(sizeof(TRACKMOUSEEVENT) == 16);
static_assert(sizeof(TTTOOLINFOW) == 48);
#endif

namespace lumetta {

AppState App;

namespace {

constexpr DWORD COMMON_CONTROL_CLASSES = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                         ICC_USEREX_CLASSES | ICC_COOL_CLASSES |
                                         ICC_STANDARD_CLASSES;
static_assert(COMMON_CONTROL_CLASSES == 0x461C);

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;

bool IsWindowsVersionAtLeast(DWORD minorVersion) {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwMajorVersion = OS_VISTA_MAJOR_VERSION;
    info.dwMinorVersion = minorVersion;
    info.wServicePackMajor = 0;
    ULONGLONG mask = 0;
    mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&info, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              mask) != FALSE;
}

// VerifyVersionInfoW is capped at 6.2 for programs without a matching manifest entry on some
// systems; RtlGetVersion always tells the truth, so it decides Windows 10.
bool ReportsWindows10() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    OwnedModule ntdll(LoadSystemLibrary(L"ntdll.dll"));
    if (!ntdll) return false;
    auto rtlGetVersion = ProcAddress<RtlGetVersionFn>(ntdll.Get(), "RtlGetVersion");
    if (!rtlGetVersion) return false;
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    return rtlGetVersion(&info) == 0 && info.dwMajorVersion >= OS_WIN10_MAJOR_VERSION;
}

uint32_t DetectOsVersionFlags() {
    uint32_t flags = 0;
    if (IsWindowsVersionAtLeast(OS_VISTA_MINOR_VERSION)) flags |= OS_VISTA;
    if (IsWindowsVersionAtLeast(OS_WIN8_MINOR_VERSION)) flags |= OS_WIN8;
    if (ReportsWindows10()) flags |= OS_WIN10;
    return flags;
}

// Only the main instance makes controls (tooltips, the Options dialog); the library is
// delay-loaded, so a messenger or a selection that never calls into it never loads it.
void InitCommonControlClasses() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = COMMON_CONTROL_CLASSES;
    InitCommonControlsEx(&controls);
}

int RunMessageLoop(HACCEL accelerators) {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (accelerators && TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int RunSelectionProcess() {
    // At most one selection at a time; a second request is dropped silently.
    if (FindWindowExW(nullptr, nullptr, SELECTION_WINDOW_CLASS, APP_TITLE)) return EXIT_OK;

    static SelectionWindow selection; // zero-filled, lives until the loop ends
    int exitCode = EXIT_FAILED;
    {
        // Loaded here only: every other role starts without it.
        GdiplusSession gdiplus;
        if (!gdiplus.Open() || !CreateSelectionWindow(&selection)) {
            CenteredMessageBox(nullptr, IDS_SELECTION_WINDOW_FAILED);
        } else {
            OwnedAccelerators accelerators(
                LoadAcceleratorsW(Context.instance, MAKEINTRESOURCEW(IDR_SELECT_ACCEL)));
            exitCode = RunMessageLoop(accelerators.Get());
        }
    }
    // A window that never reached its WM_DESTROY may still hold the bitmap.
    DeleteScreenBitmap(&selection);
    return exitCode;
}

int RunMainInstanceOrMessenger() {
    if (HWND running = FindWindowExW(nullptr, nullptr, MAIN_WINDOW_CLASS, APP_TITLE)) {
        // A messenger passes the request on and ends without a window of its own.
        if (App.commandFlags & CMD_PREVIEW) SendPreviewRequest(running);
        uint32_t rest = InstanceCommandFlags(App.commandFlags);
        if (rest) PostMessageW(running, WM_INSTANCE_COMMAND, rest, 0);
        return EXIT_OK;
    }
    if (!ShouldStartMainInstance(App.commandFlags, Context.settings.flags)) return EXIT_OK;
    InitCommonControlClasses();
    if (!RegisterMainWindowClass()) return EXIT_FAILED;
    Context.shell = ShellRequests{StartSelection, ShowOptions, CloseAllPreviews, ShowTrayIcon};
    for (size_t i = 0; i < MAX_PREVIEWS; ++i)
        App.previewList[i].slotIndex = static_cast<int32_t>(i);
    if (!CreateMainWindow()) return EXIT_FAILED;
    return RunMessageLoop(nullptr);
}

int Run(HINSTANCE instance) {
    Context.instance = instance;
    Context.osVersionFlags = DetectOsVersionFlags();

    ParseCommandLine();
    if (App.commandFlags & CMD_QUIT) return EXIT_OK;
    Context.settings = LoadSettings();

    if (IsSelectionRole(App.commandFlags)) return RunSelectionProcess();
    return RunMainInstanceOrMessenger();
}

} // namespace
} // namespace lumetta

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return lumetta::Run(instance);
}

#include "select/handoff_win.h"

#include <shellapi.h>

#include <iterator>

#include "app/base/constants.h"
#include "app/base/constants_win.h"
#include "app/base/handles_win.h"
#include "app/base/handoff_win.h"
#include "app/base/window_helpers_win.h"
#include "select/constants.h"
#include "select/source_win.h"

namespace lumetta {
namespace {

HWND FindMainWindow() {
    return FindWindowW(MAIN_WINDOW_CLASS, APP_TITLE);
}

// Starts this program as a main instance that waits for the hand-off. The process handle comes
// back when the system gives one.
bool StartMainInstance(OwnedHandle* process) {
    wchar_t path[PROGRAM_PATH_CHARS] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path)) return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = START_VERB;
    info.lpFile = path;
    info.lpParameters = START_WAIT_PARAMETERS;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return false;
    process->Reset(info.hProcess);
    return true;
}

// Polls for the started instance's main window; gives up early when that process has ended.
HWND WaitForMainWindow(HANDLE process) {
    for (uint32_t attempt = 0; attempt < START_WAIT_ATTEMPTS; ++attempt) {
        if (HWND main = FindMainWindow()) return main;
        if (!process) {
            Sleep(START_WAIT_INTERVAL_MS);
        } else if (WaitForSingleObject(process, START_WAIT_INTERVAL_MS) != WAIT_TIMEOUT) {
            return nullptr;
        }
    }
    return nullptr;
}

} // namespace

bool HandOffSelection(const SelectionWindow& selection) {
    if (!selection.accepted) return false;
    const Point origin{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
    const RECT rect = ToRECT(HandOffRect(selection.anchor, selection.current, origin));
    const HWND source = FindSourceWindow(rect);

    OwnedHandle started;
    HWND main = FindMainWindow();
    if (!main) {
        if (!StartMainInstance(&started)) return false;
        main = WaitForMainWindow(started.Get());
    }
    if (!main) return false;
    if (SendHandOff(main, source, rect)) return true;
    // Hung, too slow or refusing: that instance would otherwise sit there with nothing to show.
    PostMessageW(main, WM_INSTANCE_COMMAND, CMD_EXIT, 0);
    return false;
}

} // namespace lumetta

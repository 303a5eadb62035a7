#include "app/cmdline_win.h"

#include <shellapi.h>

#include <iterator>

#include "app/app_win.h"
#include "app/cmdline.h"
#include "app/handoff.h"
#include "app/window_helpers_win.h"
#include "res/resource.h"

namespace lumetta {
namespace {

void ShowCommandLineError(UINT stringId) {
    wchar_t text[256];
    LoadText(stringId, text, static_cast<int>(std::size(text)));
    CenteredMessageBox(nullptr, text);
}

} // namespace

void ParseCommandLine() {
    App.commandFlags = 0;
    App.previewSourceArg = nullptr;
    App.pendingRect = RECT{};

    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        App.commandFlags = CMD_QUIT;
        ShowCommandLineError(IDS_CMDLINE_UNPARSABLE);
        return;
    }
    CommandLineArgs parsed;
    if (ParseArguments(count, arguments, &parsed)) {
        App.commandFlags = parsed.flags;
        App.previewSourceArg = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(parsed.sourceWindow));
        App.pendingRect = ToRECT(parsed.rect);
    } else {
        App.commandFlags = CMD_QUIT;
        ShowCommandLineError(IDS_CMDLINE_INVALID);
    }
    LocalFree(arguments);
}

bool SendHandOff(HWND mainWindow, HWND sourceWindow, const RECT& rect) {
    // Window handles are 32-bit values in every process, so the record carries the low half.
    HandOffRecord record = MakeHandOffRecord(
        static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(sourceWindow)), ToRect(rect));
    HandOffBytes bytes = EncodeHandOffRecord(record);
    COPYDATASTRUCT data{};
    data.dwData = HANDOFF_TAG;
    data.cbData = static_cast<DWORD>(bytes.size());
    data.lpData = bytes.data();
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutW(mainWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                       SMTO_BLOCK | SMTO_ABORTIFHUNG, HANDOFF_TIMEOUT_MS, &answer);
    return sent != 0 && answer != 0;
}

bool SendPreviewRequest(HWND mainWindow) {
    if (!IsWindow(mainWindow) || !IsWindow(App.previewSourceArg)) return false;
    if (IsRectEmpty(ToRect(App.pendingRect))) return false;
    return SendHandOff(mainWindow, App.previewSourceArg, App.pendingRect);
}

} // namespace lumetta

#include "app/cmdline_win.h"

#include <shellapi.h>

#include "app/app_win.h"
#include "app/cmdline.h"
#include "app/base/handoff_win.h"
#include "app/base/handles_win.h"
#include "app/base/window_helpers_win.h"
#include "res/resource.h"

namespace lumetta {

void ParseCommandLine() {
    App.commandFlags = 0;
    App.previewSourceArg = nullptr;
    App.pendingRect = RECT{};

    int count = 0;
    OwnedLocal<LPWSTR*> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!arguments) {
        App.commandFlags = CMD_QUIT;
        CenteredMessageBox(nullptr, IDS_CMDLINE_UNPARSABLE);
        return;
    }
    CommandLineArgs parsed;
    if (ParseArguments(count, arguments.Get(), &parsed)) {
        App.commandFlags = parsed.flags;
        App.previewSourceArg = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(parsed.sourceWindow));
        App.pendingRect = ToRECT(parsed.rect);
    } else {
        App.commandFlags = CMD_QUIT;
        CenteredMessageBox(nullptr, IDS_CMDLINE_INVALID);
    }
}

bool SendPreviewRequest(HWND mainWindow) {
    if (!IsWindow(mainWindow) || !IsWindow(App.previewSourceArg)) return false;
    if (IsRectEmpty(ToRect(App.pendingRect))) return false;
    return SendHandOff(mainWindow, App.previewSourceArg, App.pendingRect);
}

} // namespace lumetta

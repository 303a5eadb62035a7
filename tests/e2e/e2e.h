// The shared fixture of the end-to-end tests: every test starts and ends with no lumetta.exe
// running, no stray message box, the default settings and the stand-in compositor switched on,
// so tests do not see each other's windows or settings.
#pragma once

#include <gtest/gtest.h>

#include "app/base/constants.h"
#include "app/base/constants_win.h"
#include "app/base/settings.h"
#include "dwm_record.h"
#include "fake_main.h"
#include "fixtures.h"
#include "input.h"
#include "processes.h"
#include "rig.h"
#include "screen.h"
#include "window.h"
#include "tools/dwm/control.h"

class E2eTest : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        using namespace e2e;
        // A main instance asked to exit takes its tray icon with it; a killed one may leave it.
        for (HWND main : FindTopLevel(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE))
            PostMessageW(main, lumetta::WM_INSTANCE_COMMAND, lumetta::CMD_EXIT, 0);
        WaitUntil([] { return FindTopLevel(lumetta::MAIN_WINDOW_CLASS, nullptr).empty(); }, 5000);
        KillAllLumetta();
        for (const auto& box : MessageBoxes())
            DismissMessageBox(box);
        ClearSettings();
        if (!dwmrig::CompositionOn()) dwmrig::SetComposition(true);
        dwmrig::SetCloaked(ShellWindow(), 0);
    }
};

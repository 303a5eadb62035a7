// The main instance's tray icon as the user and the shell meet it: clicks, the menu, a lost icon
// and the installer's balloon. Wine keeps a menu's items in its own process, so the menu is walked
// with the keyboard and each item is known by what it does.
#include "e2e.h"
#include "menus.h"

#include <shellapi.h>

using namespace e2e;

namespace {

using Tray = E2eTest;

bool SelectionOpen() {
    return !FindTopLevel(lumetta::SELECTION_WINDOW_CLASS, nullptr).empty();
}

// What the icon was asked for starts a selection in a process of its own, and only one: another
// request while it is open (it covers the tray now: asked as the shell would) leaves it alone.
void ExpectOneSelection(const Instance& instance, const char* asked) {
    const HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE);
    ASSERT_TRUE(selection) << asked << " started no selection";
    EXPECT_NE(WindowPid(selection), instance.process.pid) << "not a process of its own";
    PostMessageW(instance.main, lumetta::WM_TRAY_NOTIFY, lumetta::TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(WaitUntil(
        [] { return FindTopLevel(lumetta::SELECTION_WINDOW_CLASS, nullptr).size() > 1; }, 3000));
    Focus(selection);
    KeyPress(VK_ESCAPE);
    EXPECT_TRUE(WaitWindowGone(selection)) << "Escape did not end the selection";
}

} // namespace

TEST_F(Tray, ClicksMenuLostIconAndBalloon) {
    Instance instance = StartInstance(L"-startup");
    // Wine shows its tray window a little after it reports it visible.
    ASSERT_TRUE(WaitTrayVisible(true) && ShowsTrayIcon(ShotWhen("tray", ShowsTrayIcon)));
    const POINT icon = FirstTrayIcon();

    // A single click starts nothing; a close request is ignored; -startup shows no balloon (Wine
    // shows one about two seconds after it is asked for: this waits twice that).
    Click(icon.x, icon.y);
    SendMessageW(instance.main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(WaitUntil([] { return SelectionOpen() || TrayBalloonText(); },
                           std::max(GetDoubleClickTime() + 1000, 4000u)))
        << "a single click started a selection, or a balloon came without -install";
    EXPECT_TRUE(instance.process.Running() && IsWindow(instance.main));
    WaitOutDoubleClickTime();
    DoubleClick(icon.x, icon.y);
    ExpectOneSelection(instance, "a double-click");

    // The shell's "TaskbarCreated": an icon still there stays; a lost one comes back, menu and
    // all. The icon is lost as a restarted shell loses it: it no longer knows it.
    const UINT taskbarCreated = RegisterWindowMessageW(lumetta::TASKBAR_CREATED_MESSAGE);
    SendMessageW(instance.main, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitTrayVisible(true));
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = instance.main;
    data.uID = lumetta::TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data) && WaitTrayVisible(false));
    SendMessageW(instance.main, taskbarCreated, 0, 0);
    // Back, the icon is clicked for the menu below: that it opens the instance's menu shows it.
    ASSERT_TRUE(WaitTrayVisible(true)) << "the icon did not come back";

    // The menu: New Preview, Options..., Exit. Four steps down wrap back to the first; one step
    // up is the last, Exit, which takes the icon with the instance.
    ChooseFromTrayMenu(instance.process.pid, icon, {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ExpectOneSelection(instance, "New Preview");
    ChooseFromTrayMenu(instance.process.pid, icon, {VK_UP, VK_RETURN});
    EXPECT_EQ(instance.process.WaitExit(), std::optional<DWORD>(0)) << "Exit did not end it";
    EXPECT_TRUE(WaitTrayVisible(false)) << "the icon outlived the instance";

    // -install announces the instance with a balloon on its icon.
    const Instance installed = StartInstance(L"-install");
    EXPECT_EQ(WaitFor(TrayBalloonText, 10000),
              L"Click this icon to select the screen area or right-click for more options.");
}

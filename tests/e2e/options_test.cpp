// The Options dialog as a user meets it: opened from the tray and from a preview's menu, once,
// showing the stored settings; its About page, whose links and buttons hand their addresses to
// the shell (a recorder registered for http, https and mailto in the prefix); Cancel changing
// nothing; OK saving and applying the switches to the instance and its open previews. Control
// values and page arithmetic are unit tables'.
#include "e2e.h"
#include "menus.h"
#include "options/constants.h"
#include "res/about.h"
#include "res/resource.h"

using namespace e2e;

namespace {

using Options = E2eTest;
using OptionsDpi = E2eTest; // also run at 144 DPI

constexpr int kOptionsItem = 6; // of the preview's menu

// Tray radio, silent radio, keep on top, taskbar buttons, "New Preview" item, double-click item.
auto Shown(HWND dialog) {
    const auto checked = [&](int id) {
        return SendMessageW(DialogControl(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    const auto item = [&](int id) {
        return SendMessageW(DialogControl(dialog, id), CB_GETCURSEL, 0, 0);
    };
    return std::make_tuple(checked(IDC_SHOW_TRAY_ICON), checked(IDC_SILENT_MODE),
                           checked(IDC_KEEP_ON_TOP), checked(IDC_TASKBAR_BUTTONS),
                           item(IDC_NEW_PREVIEW_ACTION), item(IDC_DBLCLICK_ACTION));
}

// Clicks controls, waits until the dialog shows what it should, and ends it with a button.
void Change(HWND dialog, std::initializer_list<int> clicks,
            const decltype(Shown(nullptr))& expected, int button) {
    for (int id : clicks) {
        if (id != IDC_NEW_PREVIEW_ACTION) {
            ClickOn(DialogControl(dialog, id));
            continue;
        }
        // The combo box's window reaches down over its list: click its own box, then the other
        // item once the list has dropped down.
        const POINT at =
            Middle(HWND(SendMessageW(DialogControl(dialog, id), CBEM_GETCOMBOCONTROL, 0, 0)));
        Click(at.x, at.y);
        EXPECT_TRUE(WaitUntil(
            [&] { return FirstVisible(FindTopLevel(L"ComboLBox", nullptr, WindowPid(dialog))); },
            kWindowTimeoutMs));
        KeyPress(std::get<4>(expected) ? VK_DOWN : VK_UP);
        KeyPress(VK_RETURN);
    }
    EXPECT_TRUE(WaitUntil([&] { return Shown(dialog) == expected; }, kWindowTimeoutMs));
    ClickOn(DialogControl(dialog, button));
    ASSERT_TRUE(WaitWindowGone(dialog));
}

std::optional<std::vector<uint8_t>> Stored(const wchar_t* name) {
    return RegGetBytes(lumetta::SETTINGS_KEY_PATH, name, REG_DWORD);
}

bool Topmost(HWND window) {
    return (Inspect(window).exStyle & WS_EX_TOPMOST) != 0;
}

void ChooseTrayOptions(DWORD pid) {
    ASSERT_TRUE(WaitTrayVisible(true));
    ChooseFromTrayMenu(pid, FirstTrayIcon(), {VK_DOWN, VK_DOWN, VK_RETURN});
}

} // namespace

TEST_F(OptionsDpi, FromTheTrayOnceAboutPageOkSavesAndSilentModeEnds) {
    // The About page's links reach a recorder registered for http, https and mailto.
    const std::wstring log = WindowsPath(Utf8(Env(L"LUMETTA_RUN_DIR")) + "/opened.txt");
    const std::wstring command =
        L"\"" + RigPath(L"shell_recorder.exe") + L"\" \"" + log + L"\" \"%1\"";
    const auto put = [](const std::wstring& at, const wchar_t* name, const std::wstring& value) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, at.c_str(), name, REG_SZ, value.c_str(),
                        DWORD((value.size() + 1) * sizeof(wchar_t)));
    };
    for (const wchar_t* scheme : {L"http", L"https", L"mailto"}) {
        const std::wstring key = L"Software\\Classes\\" + std::wstring(scheme);
        put(key, L"URL Protocol", L"");
        put(key + L"\\shell\\open\\command", nullptr, command);
    }
    DeleteFileW(log.c_str());
    // KeepOnTop, TaskbarButtons and a bit no control shows; a double-click that zooms in.
    SetFlags(0x13);
    RegSetBinary(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_DBL_ACTION, REG_DWORD,
                 {0x88, 0x4E, 0, 0});
    lumetta::OwnedKey run; // as on Windows, the key is there
    RegCreateKeyExW(HKEY_CURRENT_USER, lumetta::RUN_KEY_PATH, 0, nullptr, 0, KEY_WRITE, nullptr,
                    run.Put(), nullptr);
    Instance instance = StartInstance(L"-startup");
    const DWORD pid = instance.process.pid;
    ChooseTrayOptions(pid);
    const HWND dialog = WaitOptionsDialog(pid);
    ASSERT_TRUE(dialog);
    const WindowInfo info = Inspect(dialog);
    const RECT work = PrimaryWorkArea();
    EXPECT_TRUE(Topmost(dialog));
    EXPECT_EQ(info.owner, nullptr);
    EXPECT_LE(std::abs((info.window.left - work.left) - (work.right - info.window.right)), 1);
    EXPECT_LE(std::abs((info.window.top - work.top) - (work.bottom - info.window.bottom)), 1);
    // "Replace existing preview"; Zoom In is not offered, so Maximize is selected.
    EXPECT_EQ(Shown(dialog), std::make_tuple(true, false, true, true, 1, 2));
    ChooseTrayOptions(pid);
    EXPECT_FALSE(WaitUntil([&] { return OptionsDialogs(pid).size() != 1; }, 2000))
        << "a second dialog";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, kWindowTimeoutMs));

    // The About page: its title, layout, icon box and links.
    ASSERT_TRUE(ShowAboutTab(dialog));
    EXPECT_EQ(Inspect(DialogControl(dialog, IDC_ABOUT_TITLE)).title, L"Lumetta v3.2 - Oct 16 2026");

    // The page fills the tab's display area, the buttons sit below it at the bottom right; the
    // icon's box is square, a multiple of 8 pixels, 34 of the page's 255 dialog units wide.
    const RECT page = Inspect(GetParent(DialogControl(dialog, IDC_ABOUT_TITLE))).window;
    const RECT tabs = Inspect(GetDlgItem(dialog, IDC_TABS)).window, client = Inspect(dialog).client;
    const RECT ok = Inspect(GetDlgItem(dialog, IDC_OK)).window;
    const RECT cancel = Inspect(GetDlgItem(dialog, IDC_CANCEL)).window;
    EXPECT_TRUE(page.left > tabs.left && page.right < tabs.right && page.bottom < tabs.bottom);
    EXPECT_TRUE(ok.top > tabs.bottom && ok.top == cancel.top && ok.right < cancel.left &&
                cancel.right < client.right && cancel.bottom < client.bottom);
    const RECT icon = Inspect(DialogControl(dialog, IDC_ABOUT_ICON)).window;
    const LONG side = icon.right - icon.left, exact = (page.right - page.left) * 34 / 255;
    EXPECT_EQ(side, icon.bottom - icon.top);
    EXPECT_TRUE(side % 8 == 0 && side > exact - 9 && side <= exact + 1) << side << " " << exact;

    // Links take the hand pointer.
    const auto pointerOn = [&](int id) {
        const POINT at = Middle(DialogControl(dialog, id));
        MouseMove(at.x, at.y);
        CURSORINFO cursor{};
        cursor.cbSize = sizeof(cursor);
        return GetCursorInfo(&cursor) ? cursor.hCursor : nullptr;
    };
    const HCURSOR arrow = pointerOn(IDC_ABOUT_NOTICE);
    for (int id : {IDC_WEB_LINK, IDC_EMAIL_LINK})
        EXPECT_TRUE(WaitUntil([&] { return pointerOn(id) != arrow; }, 5000)) << "no hand on " << id;

    // Only the buttons are tab stops; each link and button hands its address to the shell.
    const std::pair<int, const char*> targets[] = {{IDC_SUBSCRIBE_RSS, ABOUT_FEED_ADDRESS},
                                                   {IDC_SUBSCRIBE_EMAIL, ABOUT_NEWSLETTER_ADDRESS},
                                                   {IDC_WEB_LINK, ABOUT_HOME_ADDRESS},
                                                   {IDC_EMAIL_LINK, ABOUT_MAIL_ADDRESS}};
    std::string opened;
    for (const auto& [id, address] : targets) {
        EXPECT_EQ((Inspect(DialogControl(dialog, id)).style & WS_TABSTOP) != 0,
                  id == IDC_SUBSCRIBE_RSS || id == IDC_SUBSCRIBE_EMAIL);
        WaitOutDoubleClickTime();
        ClickOn(DialogControl(dialog, id));
        opened += std::string(address) + "\n";
        EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == opened; }, kWindowTimeoutMs))
            << address << " not opened; opened: " << ReadWholeFile(log).value_or("nothing");
    }

    // OK keeps only what the controls show and adds the autostart value.
    Change(dialog, {}, std::make_tuple(true, false, true, true, 1, 2), IDC_OK);
    EXPECT_EQ(Stored(lumetta::SETTINGS_VALUE_FLAGS), (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(Stored(lumetta::SETTINGS_VALUE_DBL_ACTION), (std::vector<uint8_t>{0x86, 0x4E, 0, 0}));
    EXPECT_EQ(RegGetString(lumetta::RUN_KEY_PATH, lumetta::AUTOSTART_VALUE_NAME),
              L"\"" + LumettaExe() + L"\" /startup");

    // Silent mode with no preview open: the icon and the autostart value go, and so does the
    // program.
    ChooseTrayOptions(pid);
    Change(WaitOptionsDialog(pid), {IDC_SILENT_MODE},
           std::make_tuple(false, true, true, true, 1, 2), IDC_OK);
    EXPECT_EQ(instance.process.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(Stored(lumetta::SETTINGS_VALUE_FLAGS), (std::vector<uint8_t>{0xB, 0, 0, 0}));
    EXPECT_FALSE(RegGetString(lumetta::RUN_KEY_PATH, lumetta::AUTOSTART_VALUE_NAME));
    EXPECT_TRUE(WaitTrayVisible(false));
}

TEST_F(Options, FromAPreviewCancelKeepsOkAppliesToTheOpenPreviews) {
    const Fixture source = StartFixture(40, 540, 700, 420);
    Instance instance = StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                                      RectArgs(source.ScreenRect(0, 0, 200, 150)));
    const DWORD pid = instance.process.pid;
    const HWND first = WaitNewPreview(pid);
    ASSERT_TRUE(first);
    const HWND others[] = {
        OpenByHandOff(instance, source.hwnd, source.ScreenRect(240, 0, 440, 150)),
        OpenByHandOff(instance, source.hwnd, source.ScreenRect(0, 200, 200, 350))};
    ASSERT_TRUE(others[0] && others[1]);

    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kOptionsItem));
    const HWND dialog = WaitOptionsDialog(pid);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Shown(dialog), std::make_tuple(true, false, true, false, 0, 2));

    // Cancel after changes: no settings stored, the icon and the previews as they were.
    Change(dialog, {IDC_SILENT_MODE, IDC_KEEP_ON_TOP, IDC_NEW_PREVIEW_ACTION},
           std::make_tuple(false, true, false, false, 1, 2), IDC_CANCEL);
    EXPECT_FALSE(Stored(lumetta::SETTINGS_VALUE_FLAGS));
    EXPECT_TRUE(TrayWindow());
    EXPECT_EQ(Previews(pid).size(), 3u);
    for (HWND preview : Previews(pid))
        EXPECT_TRUE(Topmost(preview));

    // Replace mode and not on top: the lowest slot's preview stays, no longer topmost.
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(others[1]), kOptionsItem));
    Change(WaitOptionsDialog(pid), {IDC_KEEP_ON_TOP, IDC_NEW_PREVIEW_ACTION},
           std::make_tuple(true, false, false, false, 1, 2), IDC_OK);
    EXPECT_TRUE(WaitUntil([&] { return Previews(pid) == std::vector<HWND>{first}; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return !Topmost(first); }, 5000));

    // Silent mode with a preview open: the icon goes; the program ends with the last preview.
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kOptionsItem));
    Change(WaitOptionsDialog(pid), {IDC_SILENT_MODE},
           std::make_tuple(false, true, false, false, 1, 2), IDC_OK);
    EXPECT_TRUE(WaitTrayVisible(false));
    EXPECT_TRUE(instance.process.Running());
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kLastItem)); // Close Preview
    EXPECT_EQ(instance.process.WaitExit(), std::optional<DWORD>(0));
}

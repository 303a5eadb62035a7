// The Options dialog as a user meets it: opened from the tray and from a preview's menu, once,
// showing the stored settings; Cancel changing nothing; OK saving and applying the switches to
// the instance and its open previews; and the About page, whose links and buttons hand their
// addresses to the shell (a recorder registered for http, https and mailto in the prefix).
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

// The process's visible Options dialogs: its dialogs with the tab control.
std::vector<HWND> Dialogs(DWORD pid) {
    std::vector<HWND> dialogs;
    for (HWND dialog : FindTopLevel(L"#32770", lumetta::APP_TITLE, pid)) {
        if (IsWindowVisible(dialog) && GetDlgItem(dialog, IDC_TABS)) dialogs.push_back(dialog);
    }
    return dialogs;
}
HWND WaitDialog(DWORD pid) {
    return WaitFor([&] { return Dialogs(pid).empty() ? HWND{} : Dialogs(pid).front(); });
}

// A control of the dialog or of one of its pages.
HWND Control(HWND dialog, int id) {
    for (HWND page = nullptr; (page = FindWindowExW(dialog, page, L"#32770", nullptr));) {
        if (GetDlgItem(page, id)) return GetDlgItem(page, id);
    }
    return GetDlgItem(dialog, id);
}
POINT Middle(HWND window) {
    const RECT r = Inspect(window).window;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
void ClickOn(HWND dialog, int id) {
    const POINT at = Middle(Control(dialog, id));
    Click(at.x, at.y);
}

// Tray radio, silent radio, keep on top, taskbar buttons, "New Preview" item, double-click item.
auto Shown(HWND dialog) {
    const auto checked = [&](int id) {
        return SendMessageW(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    const auto item = [&](int id) { return SendMessageW(Control(dialog, id), CB_GETCURSEL, 0, 0); };
    return std::make_tuple(checked(IDC_SHOW_TRAY_ICON), checked(IDC_SILENT_MODE),
                           checked(IDC_KEEP_ON_TOP), checked(IDC_TASKBAR_BUTTONS),
                           item(IDC_NEW_PREVIEW_ACTION), item(IDC_DBLCLICK_ACTION));
}

// Clicks controls, waits until the dialog shows what it should, and ends it with a button.
void Change(HWND dialog, std::initializer_list<int> clicks,
            const decltype(Shown(nullptr))& expected, int button) {
    for (int id : clicks) {
        if (id != IDC_NEW_PREVIEW_ACTION) {
            ClickOn(dialog, id);
            continue;
        }
        // The combo box's window reaches down over its list: click its own box, then the other
        // item once the list has dropped down.
        const POINT at =
            Middle(HWND(SendMessageW(Control(dialog, id), CBEM_GETCOMBOCONTROL, 0, 0)));
        Click(at.x, at.y);
        EXPECT_TRUE(WaitUntil(
            [&] { return FirstVisible(FindTopLevel(L"ComboLBox", nullptr, WindowPid(dialog))); },
            kWindowTimeoutMs));
        KeyPress(std::get<4>(expected) ? VK_DOWN : VK_UP);
        KeyPress(VK_RETURN);
    }
    EXPECT_TRUE(WaitUntil([&] { return Shown(dialog) == expected; }, kWindowTimeoutMs));
    ClickOn(dialog, button);
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

TEST_F(Options, FromTheTrayOnceOkSavesAndSilentModeEnds) {
    // KeepOnTop, TaskbarButtons and a bit no control shows; a double-click that zooms in.
    SetFlags(0x13);
    RegSetBinary(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_DBL_ACTION, REG_DWORD,
                 {0x88, 0x4E, 0, 0});
    HKEY run = nullptr; // as on Windows, the key is there
    RegCreateKeyExW(HKEY_CURRENT_USER, lumetta::RUN_KEY_PATH, 0, nullptr, 0, KEY_WRITE, nullptr,
                    &run, nullptr);
    RegCloseKey(run);
    Instance instance = StartInstance(L"-startup");
    const DWORD pid = instance.process.pid;
    ChooseTrayOptions(pid);
    const HWND dialog = WaitDialog(pid);
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
    EXPECT_FALSE(WaitUntil([&] { return Dialogs(pid).size() != 1; }, 2000)) << "a second dialog";
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, kWindowTimeoutMs));

    // OK keeps only what the controls show and adds the autostart value.
    Change(dialog, {}, std::make_tuple(true, false, true, true, 1, 2), IDC_OK);
    EXPECT_EQ(Stored(lumetta::SETTINGS_VALUE_FLAGS), (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(Stored(lumetta::SETTINGS_VALUE_DBL_ACTION), (std::vector<uint8_t>{0x86, 0x4E, 0, 0}));
    EXPECT_EQ(RegGetString(lumetta::RUN_KEY_PATH, lumetta::AUTOSTART_VALUE_NAME),
              L"\"" + LumettaExe() + L"\" /startup");

    // Silent mode with no preview open: the icon and the autostart value go, and so does the
    // program.
    ChooseTrayOptions(pid);
    Change(WaitDialog(pid), {IDC_SILENT_MODE}, std::make_tuple(false, true, true, true, 1, 2),
           IDC_OK);
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

    // A second "Options..." from another preview's menu brings the one dialog forward.
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kOptionsItem));
    const HWND dialog = WaitDialog(pid);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Shown(dialog), std::make_tuple(true, false, true, false, 0, 2));
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(others[0]), kOptionsItem));
    EXPECT_FALSE(WaitUntil([&] { return Dialogs(pid).size() != 1; }, 2000)) << "a second dialog";

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
    Change(WaitDialog(pid), {IDC_KEEP_ON_TOP, IDC_NEW_PREVIEW_ACTION},
           std::make_tuple(true, false, false, false, 1, 2), IDC_OK);
    EXPECT_TRUE(WaitUntil([&] { return Previews(pid) == std::vector<HWND>{first}; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return !Topmost(first); }, 5000));

    // Silent mode with a preview open: the icon goes; the program ends with the last preview.
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kOptionsItem));
    Change(WaitDialog(pid), {IDC_SILENT_MODE}, std::make_tuple(false, true, false, false, 1, 2),
           IDC_OK);
    EXPECT_TRUE(WaitTrayVisible(false));
    EXPECT_TRUE(instance.process.Running());
    ASSERT_TRUE(ChooseFromMenu(pid, Middle(first), kLastItem)); // Close Preview
    EXPECT_EQ(instance.process.WaitExit(), std::optional<DWORD>(0));
}

TEST_F(OptionsDpi, AboutPageLayoutLinksAndAddresses) {
    const std::wstring log = WindowsPath(Utf8(Env(L"LUMETTA_RUN_DIR")) + "/opened.txt");
    const std::wstring command =
        L"\"" + RigPath(L"shell_recorder.exe") + L"\" \"" + log + L"\" \"%1\"";
    for (const wchar_t* scheme :
         {L"Software\\Classes\\http", L"Software\\Classes\\https", L"Software\\Classes\\mailto"}) {
        const std::wstring open = std::wstring(scheme) + L"\\shell\\open\\command";
        const auto set = [](const std::wstring& key, const wchar_t* name, const std::wstring& v) {
            RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), name, REG_SZ, v.c_str(),
                            DWORD((v.size() + 1) * sizeof(wchar_t)));
        };
        set(scheme, L"URL Protocol", L"");
        set(open, nullptr, command);
    }
    DeleteFileW(log.c_str());
    const Instance instance = StartInstance(L"-startup");
    ChooseTrayOptions(instance.process.pid);
    const HWND dialog = WaitDialog(instance.process.pid);
    ASSERT_TRUE(dialog);
    // A click on the "About" tab: where it is drawn at 96 DPI, in a tab control 454 × 343 pixels.
    const RECT tabs = Inspect(GetDlgItem(dialog, IDC_TABS)).window;
    Click(tabs.left + (tabs.right - tabs.left) * 107 / 454,
          tabs.top + (tabs.bottom - tabs.top) * 12 / 343);
    const HWND about = GetParent(Control(dialog, IDC_ABOUT_TITLE));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(about); }, kWindowTimeoutMs));
    EXPECT_EQ(Inspect(Control(dialog, IDC_ABOUT_TITLE)).title, L"Lumetta v3.2 - Oct 16 2026");

    // The page fills the tab's display area, the buttons sit below it at the bottom right; the
    // icon's box is square, a multiple of 8 pixels, 34 of the page's 255 dialog units wide.
    const RECT page = Inspect(about).window, client = Inspect(dialog).client;
    const RECT ok = Inspect(GetDlgItem(dialog, IDC_OK)).window;
    const RECT cancel = Inspect(GetDlgItem(dialog, IDC_CANCEL)).window;
    EXPECT_TRUE(page.left > tabs.left && page.right < tabs.right && page.bottom < tabs.bottom);
    EXPECT_TRUE(ok.top > tabs.bottom && ok.top == cancel.top && ok.right < cancel.left &&
                cancel.right < client.right && cancel.bottom < client.bottom);
    const RECT icon = Inspect(Control(dialog, IDC_ABOUT_ICON)).window;
    const LONG side = icon.right - icon.left, exact = (page.right - page.left) * 34 / 255;
    EXPECT_EQ(side, icon.bottom - icon.top);
    EXPECT_TRUE(side % 8 == 0 && side > exact - 9 && side <= exact + 1) << side << " " << exact;

    // Links are no tab stops and take the hand pointer; a press dragged off one opens nothing.
    const auto pointerOver = [](HWND window) {
        const POINT at = Middle(window);
        MouseMove(at.x, at.y);
    };
    const auto pointer = [] {
        CURSORINFO info{};
        info.cbSize = sizeof(info);
        return GetCursorInfo(&info) ? info.hCursor : nullptr;
    };
    pointerOver(Control(dialog, IDC_ABOUT_NOTICE));
    const HCURSOR arrow = pointer();
    for (int id : {IDC_WEB_LINK, IDC_EMAIL_LINK}) {
        EXPECT_FALSE(Inspect(Control(dialog, id)).style & WS_TABSTOP);
        pointerOver(Control(dialog, id));
        EXPECT_TRUE(WaitUntil([&] { return pointer() != arrow; }, 5000)) << "no hand on " << id;
    }
    const POINT from = Middle(Control(dialog, IDC_WEB_LINK));
    const POINT off = Middle(Control(dialog, IDC_ABOUT_NOTICE));
    Drag(from.x, from.y, off.x, off.y);
    EXPECT_FALSE(WaitUntil([&] { return ReadWholeFile(log).has_value(); }, 2000));

    // Each link and button hands its own address to the shell.
    const std::pair<int, const char*> targets[] = {{IDC_SUBSCRIBE_RSS, ABOUT_FEED_ADDRESS},
                                                   {IDC_SUBSCRIBE_EMAIL, ABOUT_NEWSLETTER_ADDRESS},
                                                   {IDC_WEB_LINK, ABOUT_HOME_ADDRESS},
                                                   {IDC_EMAIL_LINK, ABOUT_MAIL_ADDRESS}};
    std::string opened;
    for (const auto& [id, address] : targets) {
        EXPECT_EQ((Inspect(Control(dialog, id)).style & WS_TABSTOP) != 0,
                  id == IDC_SUBSCRIBE_RSS || id == IDC_SUBSCRIBE_EMAIL);
        WaitOutDoubleClickTime();
        ClickOn(dialog, id);
        opened += std::string(address) + "\n";
        EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == opened; }, kWindowTimeoutMs))
            << address << " not opened; opened: " << ReadWholeFile(log).value_or("nothing");
    }
}

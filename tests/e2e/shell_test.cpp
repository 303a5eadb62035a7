// The application shell as other processes and the user meet it: roles by command line, the main
// instance's tray icon and menu, its settings, and what it does with messages from outside.
#include "e2e.h"

#include <shellapi.h>

#include <cstdio>
#include <random>

#include "app/base/constants.h"
#include "app/base/handoff.h"

using namespace e2e;

namespace {

const wchar_t kMainClass[] = L"Lumetta_MainWnd";
const wchar_t kSelectionClass[] = L"Lumetta_SelectionWnd";
const wchar_t kTitle[] = L"Lumetta";
const wchar_t kSettingsKey[] = L"Software\\Corvel\\Lumetta";
constexpr DWORD kSilentFlags = 0xD; // KeepOnTop | MultiplePreviews | SilentMode

// A main instance started with args, and its hidden window.
struct MainInstance {
    Process process;
    HWND window = nullptr;
};

MainInstance StartMain(const std::wstring& args) {
    MainInstance main;
    main.process = StartLumetta(args);
    main.window = WaitWindow(kMainClass, kTitle, kWindowTimeoutMs, main.process.pid);
    return main;
}

// Cancels the selection window of a selection process as the user does, with Escape.
void CancelSelection(HWND selection) {
    SetForegroundWindow(selection);
    KeyPress(VK_ESCAPE);
    if (!WaitWindowGone(selection, 5000)) PostMessageW(selection, WM_CLOSE, 0, 0);
}

} // namespace

class RolesVersions : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        RegDeleteKeyTree(kSettingsKey);
    }
};

// No option, -select and -wait all run one selection; a second start while one is open ends at
// once and leaves the first alone.
TEST_F(RolesVersions, SelectionOptionsRunOneSelectionAtATime) {
    for (const wchar_t* args : {L"", L"-select", L"-wait", L"/SELECT -wait"}) {
        SCOPED_TRACE(testing::Message() << "arguments '" << Utf8(args) << "'");
        Process selector = StartLumetta(args);
        HWND selection = WaitWindow(kSelectionClass, kTitle, kWindowTimeoutMs, selector.pid);
        ASSERT_TRUE(selection) << "no selection window";
        EXPECT_FALSE(FindTopLevel(kMainClass, kTitle).size()) << "a selection made a main window";

        auto second = RunLumetta(args);
        ASSERT_TRUE(second.has_value());
        EXPECT_EQ(*second, 0u);
        EXPECT_EQ(FindTopLevel(kSelectionClass, kTitle).size(), 1u);
        EXPECT_TRUE(IsWindow(selection));

        CancelSelection(selection);
        auto code = selector.WaitExit();
        ASSERT_TRUE(code.has_value()) << "the selection process did not end after Escape";
        EXPECT_EQ(*code, 0u);
    }
}

TEST_F(RolesVersions, ExitWithoutInstanceEndsAtOnce) {
    for (const wchar_t* args : {L"-exit", L"-select -exit", L"-exit -wait"}) {
        SCOPED_TRACE(testing::Message() << "arguments '" << Utf8(args) << "'");
        auto code = RunLumetta(args);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(FindTopLevel(kMainClass, kTitle).empty());
        EXPECT_TRUE(FindTopLevel(kSelectionClass, kTitle).empty());
    }
}

// -startup makes a hidden main instance; -startup and -install from a messenger change nothing;
// -exit from a messenger ends it with code 0.
TEST_F(RolesVersions, MainInstanceLivesUntilToldToExit) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    WindowInfo info = Inspect(main.window);
    EXPECT_FALSE(info.visible);
    // Created with style 0; the system gives every overlapped top-level window these two.
    EXPECT_EQ(info.style & ~(WS_CAPTION | WS_CLIPSIBLINGS), 0u);
    EXPECT_TRUE(info.exStyle & WS_EX_TOOLWINDOW);

    for (const wchar_t* args : {L"-startup", L"-install", L"/install -startup -wait"}) {
        SCOPED_TRACE(testing::Message() << "messenger '" << Utf8(args) << "'");
        auto code = RunLumetta(args);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
    }
    EXPECT_TRUE(main.process.Running());
    EXPECT_EQ(FindTopLevel(kMainClass, kTitle), std::vector<HWND>{main.window});

    auto messenger = RunLumetta(L"-exit");
    ASSERT_TRUE(messenger.has_value());
    EXPECT_EQ(*messenger, 0u);
    auto code = main.process.WaitExit();
    ASSERT_TRUE(code.has_value()) << "the main instance did not end on -exit";
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(FindTopLevel(kMainClass, kTitle).empty());
}

// A bad command line is reported and ends the process with code 0, whatever is running.
TEST_F(RolesVersions, BadCommandLineIsReported) {
    for (const wchar_t* args :
         {L"startup", L"--startup", L"-preview 0x1A2B 10 20 10 80", L"-preview -5 0 0 10 10",
          L"-preview 4294967296 0 0 10 10", L"-preview 5 0 0 10", L"-help"}) {
        SCOPED_TRACE(testing::Message() << "arguments '" << Utf8(args) << "'");
        Process bad = StartLumetta(args);
        auto box = WaitMessageBox(bad.pid);
        ASSERT_TRUE(box.has_value()) << "no message";
        EXPECT_EQ(box->caption, L"Error");
        EXPECT_EQ(box->text, L"Incorrect command line arguments.");
        EXPECT_EQ(box->owner, nullptr);
        DismissMessageBox(*box);
        auto code = bad.WaitExit();
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(FindTopLevel(kMainClass, kTitle).empty());
    }
}

// A preview asked for on the command line that cannot be opened ends the new main instance.
TEST_F(RolesVersions, CommandLinePreviewOfNoWindowEndsTheInstance) {
    Process main = StartLumetta(L"-preview 0x1234 0 0 10 10");
    auto box = WaitMessageBox(main.pid);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, L"Lumetta");
    EXPECT_EQ(box->text, L"Failed to create preview.");
    DismissMessageBox(*box);
    auto code = main.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_TRUE(*code == 0u || *code == 1u) << *code;
    EXPECT_TRUE(FindTopLevel(kMainClass, kTitle).empty());
}

class Tray : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        RegDeleteKeyTree(kSettingsKey);
        ASSERT_TRUE(WaitTrayVisible(false)) << "an icon of an earlier test is still in the tray";
    }
};

TEST_F(Tray, IconComesAndGoesWithTheInstance) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    EXPECT_TRUE(WaitTrayVisible(true)) << "no tray icon";
    ASSERT_EQ(RunLumetta(L"-exit"), std::optional<DWORD>(0));
    EXPECT_TRUE(main.process.WaitExit().has_value());
    EXPECT_TRUE(WaitTrayVisible(false)) << "the icon outlived the instance";
}

// -install announces the running instance with a balloon on its icon; -startup does not.
TEST_F(Tray, InstallShowsTheBalloon) {
    MainInstance main = StartMain(L"-install");
    ASSERT_TRUE(main.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    std::optional<std::wstring> text;
    EXPECT_TRUE(WaitUntil([&] { return (text = TrayBalloonText()).has_value(); }, 10000))
        << "no balloon";
    EXPECT_EQ(text.value_or(L""),
              L"Click this icon to select the screen area or right-click for more options.");
    ASSERT_EQ(RunLumetta(L"-exit"), std::optional<DWORD>(0));
    ASSERT_TRUE(main.process.WaitExit().has_value());
    ASSERT_TRUE(WaitTrayVisible(false));

    MainInstance quiet = StartMain(L"-startup");
    ASSERT_TRUE(quiet.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    // Wine shows a balloon about two seconds after it is asked for; give it twice that.
    EXPECT_FALSE(WaitUntil([] { return TrayBalloonText().has_value(); }, 4000))
        << "a balloon without -install";
}

// The menu has three commands in the order New Preview, Options..., Exit: four steps down wrap
// back to the first, and one step up is the last.
TEST_F(Tray, MenuRunsNewPreviewAndExit) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    POINT icon = FirstTrayIcon();

    Click(icon.x, icon.y, 3);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = PopupMenuOf(main.process.pid)) != nullptr; }, 5000))
        << "no tray menu";
    for (int i = 0; i < 4; ++i)
        KeyPress(VK_DOWN);
    KeyPress(VK_RETURN);
    HWND selection = WaitWindow(kSelectionClass, kTitle);
    ASSERT_TRUE(selection) << "New Preview did not start a selection";
    EXPECT_NE(WindowPid(selection), main.process.pid)
        << "the selection must run in its own process";
    CancelSelection(selection);
    ASSERT_TRUE(WaitNoWindow(kSelectionClass, kTitle));

    Click(icon.x, icon.y, 3);
    ASSERT_TRUE(WaitUntil([&] { return PopupMenuOf(main.process.pid) != nullptr; }, 5000));
    KeyPress(VK_UP);
    KeyPress(VK_RETURN);
    auto code = main.process.WaitExit();
    ASSERT_TRUE(code.has_value()) << "Exit did not end the instance";
    EXPECT_EQ(*code, 0u);
    EXPECT_TRUE(WaitTrayVisible(false));
}

// A double-click starts one selection; while it is open a second double-click starts a process
// that ends at once. A single click does nothing.
TEST_F(Tray, DoubleClickStartsOneSelection) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    POINT icon = FirstTrayIcon();

    Click(icon.x, icon.y);
    EXPECT_FALSE(WaitUntil([] { return !FindTopLevel(kSelectionClass, kTitle).empty(); },
                           GetDoubleClickTime() + 1000))
        << "a single click started a selection";

    DoubleClick(icon.x, icon.y);
    HWND selection = WaitWindow(kSelectionClass, kTitle);
    ASSERT_TRUE(selection);
    // The selection covers the tray now; ask as the shell would.
    PostMessageW(main.window, lumetta::WM_TRAY_NOTIFY, lumetta::TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    // The second selection process finds the first window and ends; only one window stays.
    EXPECT_FALSE(WaitUntil([] { return FindTopLevel(kSelectionClass, kTitle).size() > 1; }, 3000));
    EXPECT_EQ(FindTopLevel(kSelectionClass, kTitle).size(), 1u);
    CancelSelection(selection);
}

TEST_F(Tray, CloseRequestIsIgnored) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    SendMessageW(main.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main.window));
    EXPECT_TRUE(main.process.Running());
    EXPECT_TRUE(WaitTrayVisible(true));
}

// The shell's "TaskbarCreated": an icon that is still there stays single; a lost icon comes back.
TEST_F(Tray, TaskbarCreatedRestoresALostIcon) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

    SendMessageW(main.window, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitTrayVisible(true));

    // Lose the icon as a restarted shell does: it no longer knows it.
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = main.window;
    data.uID = lumetta::TRAY_ICON_ID;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_TRUE(WaitTrayVisible(false));

    SendMessageW(main.window, taskbarCreated, 0, 0);
    EXPECT_TRUE(WaitTrayVisible(true)) << "the icon did not come back";
    POINT icon = FirstTrayIcon();
    Click(icon.x, icon.y, 3);
    EXPECT_TRUE(WaitUntil([&] { return PopupMenuOf(main.process.pid) != nullptr; }, 5000))
        << "the restored icon has no menu";
    KeyPress(VK_ESCAPE);
}

class Settings : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        RegDeleteKeyTree(kSettingsKey);
    }
};

// In silent mode there is no icon and no instance without something to wait for.
TEST_F(Settings, SilentModeStartsOnlyToWait) {
    ASSERT_TRUE(RegSetDword(kSettingsKey, L"Flags", kSilentFlags));
    for (const wchar_t* args : {L"-startup", L"-install", L"-install -startup"}) {
        SCOPED_TRACE(testing::Message() << "arguments '" << Utf8(args) << "'");
        auto code = RunLumetta(args);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
        EXPECT_TRUE(FindTopLevel(kMainClass, kTitle).empty());
    }
    MainInstance main = StartMain(L"-startup -wait");
    ASSERT_TRUE(main.window) << "-startup -wait must start an instance even in silent mode";
    EXPECT_FALSE(WaitTrayVisible(true, 2000)) << "a silent instance showed an icon";
    // "TaskbarCreated" does not bring an icon either.
    SendMessageW(main.window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_FALSE(WaitTrayVisible(true, 1000));
}

// Flags that are missing or not a 4-byte REG_DWORD count as the default (tray icon mode).
TEST_F(Settings, BadValuesFallBackToDefaults) {
    struct Case {
        const char* what;
        DWORD type;
        std::vector<uint8_t> data;
        bool silent;
    } cases[] = {
        {"silent DWORD", REG_DWORD, {8, 0, 0, 0}, true},
        {"string", REG_SZ, {'8', 0, 0, 0}, false},
        {"8-byte QWORD", REG_QWORD, {8, 0, 0, 0, 0, 0, 0, 0}, false},
        {"4-byte binary", REG_BINARY, {8, 0, 0, 0}, false},
        {"2-byte DWORD", REG_DWORD, {8, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteKeyTree(kSettingsKey);
        ASSERT_TRUE(RegSetBinary(kSettingsKey, L"Flags", c.type, c.data));
        Process p = StartLumetta(L"-startup");
        if (c.silent) {
            EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
            continue;
        }
        HWND window = WaitWindow(kMainClass, kTitle, kWindowTimeoutMs, p.pid);
        ASSERT_TRUE(window) << "the default (tray mode) should start an instance";
        EXPECT_TRUE(WaitTrayVisible(true));
        ASSERT_EQ(RunLumetta(L"-exit"), std::optional<DWORD>(0));
        EXPECT_TRUE(p.WaitExit().has_value());
        ASSERT_TRUE(WaitTrayVisible(false));
    }
}

// Thousands of malformed hand-offs and instance commands from another process: each is answered
// 0, and the instance lives on unchanged, holding no more objects than before.
TEST_F(Settings, HostileTrafficLeavesTheInstanceUnchanged) {
    MainInstance main = StartMain(L"-startup");
    ASSERT_TRUE(main.window);
    ASSERT_TRUE(WaitTrayVisible(true));
    // One harmless exchange first, so that lazily created objects exist before the baseline.
    SendCopyData(main.window, lumetta::HANDOFF_TAG, nullptr, 0);
    GuiCounts before = ProcessCounts(main.process.pid);

    std::mt19937 random(20261206);
    auto valid = lumetta::EncodeHandOffRecord(
        lumetta::MakeHandOffRecord(0x10010, lumetta::Rect{0, 0, 100, 100}));
    int nonZero = 0, sent = 0;
    for (int i = 0; i < 3000; ++i) {
        auto bytes = valid;
        ULONG_PTR tag = lumetta::HANDOFF_TAG;
        DWORD size = static_cast<DWORD>(bytes.size());
        const void* data = bytes.data();
        switch (i % 8) {
        case 0: tag = random(); break;                            // another kind of message
        case 1: size = random() % 32; break;                      // short
        case 2: bytes[0] = static_cast<uint8_t>(random()); break; // size field
        case 3: bytes[4] = 2; break;                              // version
        case 4: bytes[12] = 1; break;                             // upper half of the window
        case 5: data = nullptr; break;                            // no data
        case 6:                                                   // random bytes
            for (auto& b : bytes)
                b = static_cast<uint8_t>(random());
            break;
        default:             // a window that does not exist
            bytes[8] = 0x35; // odd: never a window handle
            bytes[9] = 0x12;
            bytes[10] = bytes[11] = 0;
            break;
        }
        if (tag == lumetta::HANDOFF_TAG && size == valid.size() && data && bytes == valid) continue;
        auto answer = SendCopyData(main.window, tag, data, size);
        ++sent;
        if (!answer || *answer != 0) ++nonZero;
        if (i % 3 == 0) {
            WPARAM flags = static_cast<WPARAM>(random()) & ~static_cast<WPARAM>(lumetta::CMD_EXIT);
            PostMessageW(main.window, lumetta::WM_INSTANCE_COMMAND, flags, random());
        }
    }
    EXPECT_GT(sent, 2500);
    EXPECT_EQ(nonZero, 0) << "malformed hand-offs must be answered 0";
    // Everything posted has been handled once a sent message comes back.
    ASSERT_TRUE(SendCopyData(main.window, 0, nullptr, 0).has_value());
    EXPECT_TRUE(main.process.Running());
    EXPECT_TRUE(IsWindow(main.window));
    EXPECT_TRUE(WaitTrayVisible(true));
    GuiCounts after = ProcessCounts(main.process.pid);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
    std::printf(
        "hostile traffic: %d messages; GDI %lu -> %lu, %s %lu -> %lu, memory %zu -> %zu KiB\n",
        sent, before.gdi, after.gdi, after.userIsWindowCount ? "windows" : "USER", before.user,
        after.user, before.privateBytes / 1024, after.privateBytes / 1024);
}

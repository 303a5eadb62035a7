// What a start of lumetta.exe becomes, by its command line and settings: a selection, a main
// instance (with or without its tray icon), a messenger to the running one, a message, or nothing.
// The parser's and the role rule's every case is a unit table's; here each role is met once.
#include <tuple>

#include "e2e.h"
#include "options/constants.h"

using namespace e2e;

namespace {

using RolesVersions = E2eTest;

enum class Role { Selection, Nothing, Main, Message };

struct Case {
    const char* what;
    const wchar_t* args;
    Role role;
    DWORD silentAs = REG_NONE; // the silent-mode flags stored as a value of this type
    bool icon = true;          // Main: shows its tray icon
    const wchar_t *caption = nullptr, *text = nullptr; // Message: what it says
    DWORD code = 0;                                    // Message: the exit code
    bool noGdiplus = false; // the system's GDI+ cannot be loaded (a Wine override disables it)
};

// Wine's per-program DLL overrides; an empty value disables the DLL for lumetta.exe.
constexpr wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\lumetta.exe\\DllOverrides";

} // namespace

TEST_F(RolesVersions, CommandLineAndSettings) {
    const DWORD silent = lumetta::SETTINGS_DEFAULT_FLAGS | lumetta::SETTINGS_SILENT_MODE;
    const Case cases[] = {
        {"no option: a selection", L"", Role::Selection},
        {"-exit with no instance", L"-exit", Role::Nothing},
        {"-startup: a main instance", L"-startup", Role::Main},
        {"-startup in silent mode: nothing to wait for", L"-startup", Role::Nothing, REG_DWORD},
        {"-startup -wait in silent mode: an instance without icon", L"-startup -wait", Role::Main,
         REG_DWORD, false},
        // Flags that are not a 4-byte REG_DWORD count as the defaults: silent mode is not read.
        {"-startup with the silent flags in a REG_BINARY", L"-startup", Role::Main, REG_BINARY},
        {"a bad command line", L"startup", Role::Message, REG_NONE, true, L"Error",
         L"Incorrect command line arguments."},
        {"a preview of no window", L"-preview 0x1234 0 0 10 10", Role::Message, REG_NONE, true,
         lumetta::APP_TITLE, L"Failed to create preview.", 1},
        // GDI+ is loaded by the selection alone, so only a selection misses it.
        {"a selection without GDI+", L"", Role::Message, REG_NONE, true, L"Error",
         L"Failed to create the selection window.", 1, true},
        {"a main instance without GDI+", L"-startup", Role::Main, REG_NONE, true, nullptr, nullptr,
         0, true},
    };
    const UINT taskbarCreated = RegisterWindowMessageW(lumetta::TASKBAR_CREATED_MESSAGE);
    const AtExit restore{[] { RegSetString(kOverrides, L"gdiplus", std::nullopt); }};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Clean();
        if (c.silentAs != REG_NONE) SetFlags(silent, c.silentAs);
        RegSetString(kOverrides, L"gdiplus",
                     c.noGdiplus ? std::optional<std::wstring>(L"") : std::nullopt);
        Process p = StartLumetta(c.args);
        if (c.role == Role::Nothing) {
            EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0));
        } else if (c.role == Role::Message) {
            const auto box = TakeMessageBox(p.pid);
            ASSERT_TRUE(box) << "no message";
            EXPECT_EQ(std::tie(box->caption, box->text, box->owner),
                      std::make_tuple(c.caption, c.text, nullptr));
            EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(c.code));
        } else if (c.role == Role::Selection) {
            const HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE,
                                              kWindowTimeoutMs, p.pid);
            ASSERT_TRUE(selection);
            // A second start while one is open ends at once and leaves the first alone. (Escape
            // ends a selection in the selection and tray scenarios; here the next clean-up does.)
            const double before = NowMs();
            EXPECT_EQ(StartLumetta(c.args).WaitExit(), std::optional<DWORD>(0));
            EXPECT_LT(NowMs() - before, 5000.0);
            EXPECT_EQ(FindTopLevel(lumetta::SELECTION_WINDOW_CLASS, nullptr).size(), 1u);
        } else {
            const HWND main = MainWindowOf(p.pid);
            ASSERT_TRUE(main);
            // Hidden, created with style 0 (the system gives every overlapped top-level window
            // WS_CAPTION and WS_CLIPSIBLINGS), a tool window.
            const WindowInfo info = Inspect(main);
            EXPECT_EQ(std::make_tuple(info.visible,
                                      info.style & ~DWORD(WS_CAPTION | WS_CLIPSIBLINGS),
                                      info.exStyle & WS_EX_TOOLWINDOW),
                      std::make_tuple(false, 0ul, DWORD(WS_EX_TOOLWINDOW)));
            EXPECT_EQ(WaitTrayVisible(true, c.icon ? kWindowTimeoutMs : 2000), c.icon) << "icon";
            // In silent mode the shell's "TaskbarCreated" does not bring one either.
            SendMessageW(main, taskbarCreated, 0, 0);
            EXPECT_EQ(WaitTrayVisible(true, c.icon ? kWindowTimeoutMs : 1000), c.icon) << "icon";
            // Started to wait in silent mode, it ends when the hand-off fails, without a message.
            if (!c.icon) {
                const Fixture hidden = StartFixture(250, 200, 300, 200, L"--hidden");
                EXPECT_EQ(HandOff(main, hidden.hwnd, hidden.ScreenRect(10, 10, 200, 150)),
                          std::optional<LRESULT>(0));
                EXPECT_EQ(p.WaitExit(5000), std::optional<DWORD>(0));
                continue;
            }
            // Messengers: -startup and -install change nothing; -exit ends the instance.
            for (const wchar_t* args : {L"-startup", L"-install"})
                EXPECT_EQ(StartLumetta(args).WaitExit(), std::optional<DWORD>(0)) << Utf8(args);
            EXPECT_TRUE(p.Running());
            EXPECT_EQ(FindTopLevel(lumetta::MAIN_WINDOW_CLASS, nullptr), std::vector<HWND>{main});
            EXPECT_EQ(StartLumetta(L"-exit").WaitExit(), std::optional<DWORD>(0));
            EXPECT_EQ(p.WaitExit(), std::optional<DWORD>(0)) << "-exit did not end it";
            EXPECT_TRUE(WaitTrayVisible(false)) << "the icon outlived the instance";
        }
        EXPECT_TRUE(FindTopLevel(lumetta::MAIN_WINDOW_CLASS, nullptr).empty());
    }
}

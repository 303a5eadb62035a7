// The preview's menu and commands as a user meets them: a right click on the picture opens the
// menu at the pointer with the items and the bold default the settings call for, the keys walk it
// and every command does what it says; Bring To Front on a minimized and on a hung source; the
// source's details on I and F12; and messages from another process that must change nothing.
#include <aclapi.h>

#include <atomic>
#include <cstdio>
#include <future>

#include "e2e.h"
#include "menus.h"
#include "options/constants.h"
#include "res/resource.h"

using namespace e2e;

namespace {

using PreviewMenu = E2eTest;

// The menu's items in order (null: a separator), and their places among those that are not.
enum Item { kNew, kBringToFront, kMaximize, kZoomIn, kZoomOut, kActualSize, kOptions, kClose };
std::vector<const wchar_t*> MenuItems(bool maximized, bool closeAll) {
    const wchar_t* maximize = maximized ? L"Restore Preview" : L"Maximize Preview";
    std::vector<const wchar_t*> items{L"New Preview",  nullptr, L"Bring To Front", nullptr,
                                      maximize,        nullptr, L"Zoom In",        L"Zoom Out",
                                      L"Actual Size",  nullptr, L"Options...",     nullptr,
                                      L"Close Preview"};
    if (closeAll) items.push_back(L"Close All");
    return items;
}

// A preview of a 300 × 210 area of a fixture, and a spot on its picture at any zoom.
struct Opened {
    Fixture source = StartFixture(203, 157, 600, 400, L"--class MenuSource --title \"Menu Src\"");
    Instance instance = StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                                      RectArgs(source.ScreenRect(50, 40, 350, 250)));
    DWORD pid = instance.process.pid;
    HWND preview = WaitNewPreview(pid);
    POINT at{Inspect(preview).client.left + 60, Inspect(preview).client.top + 40};
};

bool Answers(HWND window) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
}

// The item chosen from the preview's menu; done once the command has run (the instance's one
// thread answers only after it).
void Choose(const Opened& o, POINT at, int item) {
    ASSERT_TRUE(ChooseFromMenu(o.pid, at, item) && Answers(o.instance.main)) << "item " << item;
}

// An empty DACL: nobody may open the process any more.
bool LetNobodyOpen(HANDLE process) {
    ACL empty{};
    return InitializeAcl(&empty, sizeof(empty), ACL_REVISION) &&
           SetSecurityInfo(process, SE_KERNEL_OBJECT,
                           DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                           nullptr, &empty, nullptr) == ERROR_SUCCESS;
}

} // namespace

TEST_F(PreviewMenu, ItemsDefaultAndEveryCommand) {
    const Opened o;
    ASSERT_TRUE(o.preview);
    ExpectMenuAt(o.pid, o.at, MenuItems(false, true), L"Maximize Preview");
    // A right click on the resize border opens nothing.
    const RECT start = Inspect(o.preview).window, c = Inspect(o.preview).client;
    const POINT border{(start.left + start.right) / 2, start.bottom - 1};
    ASSERT_EQ(WindowFromPoint(border), o.preview);
    Click(border.x, border.y, 3);
    EXPECT_FALSE(WaitPopupMenu(o.pid, 1500)) << "a menu on the border";

    // Zoom steps keep the window's top-left corner; one while maximized only restores.
    const std::pair<int, int> steps[] = {{kZoomIn, 120},     {kZoomOut, 100}, {kZoomOut, 80},
                                         {kActualSize, 100}, {kMaximize, 0},  {kZoomIn, 100}};
    for (const auto& [item, zoom] : steps) { // zoom 0: maximized
        Choose(o, o.at, item);
        if (!zoom) ExpectMenuAt(o.pid, o.at, MenuItems(true, true), L"Restore Preview");
        const RECT zoomed{c.left, c.top, c.left + 300 * zoom / 100, c.top + 210 * zoom / 100};
        EXPECT_TRUE(!zoom || Inspect(o.preview).client == zoomed) << "item " << item;
    }

    // New Preview starts a selection.
    Choose(o, o.at, kNew);
    const HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, nullptr);
    ASSERT_TRUE(selection) << "New Preview started no selection";
    Focus(selection);
    KeyPress(VK_ESCAPE);
    EXPECT_TRUE(WaitWindowGone(selection));

    // Close Preview closes this one; Close All, the last item, all of them.
    const RECT area = o.source.ScreenRect(400, 40, 580, 250);
    const HWND other = OpenByHandOff(o.instance, o.source.hwnd, area);
    ASSERT_TRUE(other);
    Choose(o, o.at, kClose);
    EXPECT_TRUE(WaitWindowGone(o.preview));
    EXPECT_EQ(Previews(o.pid), std::vector<HWND>{other});
    ASSERT_TRUE(OpenByHandOff(o.instance, o.source.hwnd, area));
    const RECT client = Inspect(other).client;
    Choose(o, POINT{client.left + 20, client.top + 20}, kLastItem);
    EXPECT_TRUE(WaitUntil([&] { return Previews(o.pid).empty(); }, kWindowTimeoutMs));

    // With one preview at a time there is no Close All; a double-click's Bring To Front is bold.
    Clean();
    SetFlags(lumetta::SETTINGS_KEEP_ON_TOP);
    static_assert(IDM_BRING_TO_FRONT == 0x4E85);
    RegSetBinary(lumetta::SETTINGS_KEY_PATH, lumetta::SETTINGS_VALUE_DBL_ACTION, REG_DWORD,
                 {0x85, 0x4E, 0, 0});
    const Opened single;
    ASSERT_TRUE(single.preview);
    ExpectMenuAt(single.pid, single.at, MenuItems(false, false), L"Bring To Front");
    Choose(single, single.at, kLastItem);
    EXPECT_TRUE(WaitWindowGone(single.preview)) << "the last item is not Close Preview";
}

TEST_F(PreviewMenu, BringToFrontRestoresOrLeavesAHungSource) {
    const Opened o;
    ASSERT_TRUE(o.preview);
    ASSERT_TRUE(rig::FixtureCommand(o.source.hwnd, rig::FIXTURE_CMD_MINIMIZE));
    Choose(o, o.at, kBringToFront);
    EXPECT_TRUE(WaitUntil(
        [&] { return !IsIconic(o.source.hwnd) && GetForegroundWindow() == o.source.hwnd; },
        kWindowTimeoutMs))
        << "not restored to the foreground";

    // Under Wine no pointer input reaches any window while a hung window is the foreground one,
    // so the preview is brought forward first, once the source has done restoring (it answers),
    // and again if the restore's activation came after. Wine calls a window hung once its thread
    // has not looked for a message for about five seconds.
    ASSERT_TRUE(rig::FixtureFrame(o.source.hwnd));
    ASSERT_TRUE(WaitUntil([&] { return Focus(o.preview); }, kWindowTimeoutMs));
    ASSERT_TRUE(rig::FixtureCommand(o.source.hwnd, rig::FIXTURE_CMD_HANG, 0));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(o.source.hwnd) != FALSE; }, 15000));
    ASSERT_EQ(GetForegroundWindow(), o.preview);
    std::atomic<bool> stop{false};
    auto pings = std::async(std::launch::async, [&] {
        double longest = 0;
        int count = 0, unanswered = 0;
        for (; !stop; ++count) {
            const double sent = NowMs();
            unanswered += !Answers(o.preview);
            longest = std::max(longest, NowMs() - sent);
        }
        return std::make_tuple(longest, count, unanswered);
    });
    Choose(o, o.at, kBringToFront);
    EXPECT_EQ(GetForegroundWindow(), o.preview) << "the hung source was brought forward";
    // A sent ping is answered even while the thread waits in a send of its own; a posted zoom
    // step is handled only once it is back in its message loop.
    const RECT window = Inspect(o.preview).window;
    PostMessageW(o.preview, WM_COMMAND, IDM_ZOOM_IN, 0);
    EXPECT_TRUE(WaitUntil([&] { return !(Inspect(o.preview).window == window); }, 5000));
    stop = true;
    const auto [longest, count, unanswered] = pings.get();
    std::printf("[ hung source ] Bring To Front: %d pings, the longest %.1f ms\n", count, longest);
    EXPECT_EQ(unanswered, 0);
    EXPECT_TRUE(o.instance.process.Running());
}

TEST_F(PreviewMenu, SourceInfoOnIAndF12) {
    const Opened o;
    ASSERT_TRUE(o.preview);
    wchar_t handle[20] = {};
    std::swprintf(handle, std::size(handle), L"%016llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(o.source.hwnd)));
    const std::wstring text = L"Handle:  " + std::wstring(handle) +
                              L"\r\nClass:  MenuSource\r\nTitle:  Menu Src\r\nProcess:  ";
    // Last, the source's process lets nobody open it (Wine enforces the empty DACL): no path.
    const std::pair<WORD, bool> presses[] = {{'I', false}, {VK_F12, false}, {'I', true}};
    for (const auto& [key, closed] : presses) {
        ASSERT_TRUE(!closed || LetNobodyOpen(o.source.process.handle.Get()));
        ASSERT_TRUE(Focus(o.preview));
        KeyPress(key);
        const auto box = TakeMessageBox(o.pid);
        ASSERT_TRUE(box) << "no box on key " << key;
        EXPECT_EQ(box->caption, lumetta::APP_TITLE);
        EXPECT_EQ(box->owner, nullptr);
        EXPECT_EQ(box->text, text + (closed ? L"" : RigPath(L"fixture.exe")));
    }
}

TEST_F(PreviewMenu, HostileMessagesChangeNothing) {
    const Opened o;
    ASSERT_TRUE(o.preview);
    const auto shown = [&] { // the instance's only thumbnail
        const auto updates = DwmCalls("DwmUpdateThumbnailProperties", o.pid);
        return updates.empty() ? std::nullopt : LineRect(updates.back(), "rcDestination");
    };
    const RECT window = Inspect(o.preview).window;
    const auto destination = WaitFor(shown, 5000);
    ASSERT_TRUE(destination);

    // The two programs load at the same base address: this one's data is readable memory there.
    static RECT elsewhere{0, 0, 640, 480};
    const LPARAM addresses[] = {0, 1, LPARAM(0xDEADBEEF), reinterpret_cast<LPARAM>(&elsewhere),
                                LPARAM(0xFFFF800000001000ull)};
    const WPARAM dpi = MAKEWPARAM(GetDpiForWindow(o.preview), GetDpiForWindow(o.preview));
    std::vector<std::pair<UINT, WPARAM>> messages{{lumetta::WM_PREVIEW_SHOWMENU, 0},
                                                  {WM_DPICHANGED, dpi}};
    for (const WPARAM id : {0, 1, 20110, 0xFFFF})
        messages.push_back({WM_COMMAND, id});
    for (const auto& [message, wParam] : messages) {
        for (const LPARAM lParam : addresses) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(o.preview, message, wParam, lParam, SMTO_NORMAL, 2000, &answer);
            PostMessageW(o.preview, message, wParam, lParam);
        }
    }
    // Posted messages are handled in order: a zoom step posted after them shows once they are.
    PostMessageW(o.preview, WM_COMMAND, IDM_ZOOM_IN, 0);
    EXPECT_TRUE(
        WaitUntil([&] { return !(Inspect(o.preview).window == window); }, kWindowTimeoutMs));
    PostMessageW(o.preview, WM_COMMAND, IDM_ZOOM_OUT, 0);
    WaitUntil([&] { return Inspect(o.preview).window == window; }, kWindowTimeoutMs);
    EXPECT_EQ(Inspect(o.preview).window, window) << "a message from another process moved it";
    EXPECT_FALSE(ShownMenu(o.pid)) << "a menu opened";
    EXPECT_EQ(shown(), destination);
    EXPECT_TRUE(o.instance.process.Running());
}

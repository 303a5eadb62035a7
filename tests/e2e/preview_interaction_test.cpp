// A preview handled as a user handles it: zoomed by keys, the wheel and the middle button with its
// top-left corner kept, maximized and restored by double-clicks, moved by a drag and panned by a
// Ctrl-drag and the arrows, and resized at a constant zoom. Its menu: a right click on the picture
// opens it at the pointer, the keys walk it, and its maximize, zoom and close commands do what they
// say (the hover bar's buttons send the same commands; the items' order and bold default are the
// menu's unit table, their labels the string table's); Bring To Front on a minimized and on a hung
// source; the source's details on I and F12; and messages from another process, a DPI change among
// them, that must change nothing. Seen from outside: the windows' rectangles, the foreground window
// and the stand-in compositor's record.
#include <cstdio>
#include <functional>
#include <optional>
#include <tuple>

#include "e2e.h"
#include "menus.h"
#include "options/constants.h"
#include "preview/constants.h"
#include "res/resource.h"

using namespace e2e;

namespace {

using PreviewInteraction = E2eTest;
using PreviewMenu = E2eTest;
using Action = std::function<void()>;

const auto Width = [](const RECT& r) { return int(r.right - r.left); };
const auto Height = [](const RECT& r) { return int(r.bottom - r.top); };

// One preview of a region of a fixture, and what a user sees of it.
struct View {
    Fixture source;
    Instance instance;
    HWND hwnd = nullptr;
    std::string thumb;
    RECT region{};  // source client coordinates
    POINT corner{}; // the window's top-left corner, which zooming keeps
    SIZE frame{};   // the window less its client area

    RECT Window() const { return Inspect(hwnd).window; }
    RECT Client() const { return Inspect(hwnd).client; }
    POINT Picture() const { return {Client().left + 60, Client().top + 50}; } // off the borders
    // The newest rcDestination on record.
    std::optional<RECT> Shown() const {
        const auto updates =
            DwmCalls("DwmUpdateThumbnailProperties", instance.process.pid, "thumb", thumb);
        return updates.empty() ? std::nullopt : LineRect(updates.back(), "rcDestination");
    }
    // The source's whole client area at zoom, the region's corner at the preview's client origin.
    RECT At(int zoom) const {
        const int left = -(region.left * zoom / 100), top = -(region.top * zoom / 100);
        return {left, top, left + Width(source.client) * zoom / 100,
                top + Height(source.client) * zoom / 100};
    }
    // The window at corner, its client area showing the region at zoom.
    void ExpectZoom(int zoom) const {
        const RECT want{corner.x, corner.y, corner.x + Width(region) * zoom / 100 + frame.cx,
                        corner.y + Height(region) * zoom / 100 + frame.cy};
        WaitUntil([&] { return Window() == want && Shown() == At(zoom); }, 5000);
        EXPECT_EQ(Window(), want) << "at " << zoom << " %";
        EXPECT_EQ(Shown(), At(zoom)) << "at " << zoom << " %";
    }
};

View Open(int x, int y, int w, int h, const RECT& region, const std::wstring& options = L"") {
    View v;
    v.source = StartFixture(x, y, w, h, options);
    v.region = region;
    const RECT shown = v.source.ScreenRect(region.left, region.top, region.right, region.bottom);
    v.instance = StartInstance(L"-preview " + HandleArg(v.source.hwnd) + L" " + RectArgs(shown));
    v.hwnd = WaitNewPreview(v.instance.process.pid);
    if (!v.hwnd) ADD_FAILURE() << "no preview";
    // On a loaded machine the registration may come on record a while after the window shows.
    std::string registration;
    WaitUntil(
        [&] { return !(registration = RegistrationOf(v.hwnd, v.instance.process.pid)).empty(); },
        kWindowTimeoutMs);
    v.thumb = dwmrig::RecordField(registration, "thumb").value_or("?");
    if (registration.empty()) ADD_FAILURE() << "no thumbnail registration on record";
    const WindowInfo info = Inspect(v.hwnd);
    v.corner = {info.window.left, info.window.top};
    v.frame = {Width(info.window) - Width(info.client), Height(info.window) - Height(info.client)};
    return v;
}

// Maximized: the region fills the client area, the window as wide or as high as the work area
// and within it (the fit at the region's aspect and the centring are the unit table's).
void ExpectMaximized(const View& v, const RECT& normal) {
    EXPECT_TRUE(WaitUntil(
        [&] {
            const RECT c = v.Client();
            return !(v.Window() == normal) && v.Shown() == RECT{0, 0, Width(c), Height(c)};
        },
        5000));
    const RECT work = PrimaryWorkArea(), w = v.Window();
    EXPECT_TRUE((Width(w) == Width(work) || Height(w) == Height(work)) && w.left >= work.left &&
                w.top >= work.top && w.right <= work.right && w.bottom <= work.bottom)
        << testing::PrintToString(w);
}

// The menu's items by their places among those that are not separators (the unit table's order).
enum Item { kNew, kBringToFront, kMaximize, kZoomIn, kZoomOut, kActualSize, kOptions, kClose };

// A preview of a 300 × 200 area of a fixture.
View OpenForMenu() {
    return Open(203, 157, 600, 400, {50, 40, 350, 240}, L"--class MenuSource --title \"Menu Src\"");
}

// The item chosen from the preview's menu; done once the command has run (the instance's one
// thread answers only after it).
void Choose(const View& v, int item, std::optional<POINT> at = std::nullopt) {
    ASSERT_TRUE(ChooseFromMenu(v.instance.process.pid, at.value_or(v.Picture()), item) &&
                Responsive(v.instance.main))
        << "item " << item;
}

} // namespace

TEST_F(PreviewInteraction, ZoomKeepsTheCornerEvenPastTheScreen) {
    // Near the screen's bottom-right corner, so that 140 % takes the window past both edges.
    View v = Open(1500, 780, 400, 280, {100, 60, 380, 240});
    ASSERT_TRUE(Focus(v.hwnd));
    const POINT p = v.Picture();
    MouseMove(p.x, p.y); // the wheel turns what lies under the pointer
    const auto key = [](WORD vk) { return [vk] { KeyPress(vk); }; };
    const auto wheel = [](int notches) { return [notches] { Wheel(notches); }; };
    const std::tuple<const char*, Action, int> steps[] = {
        {"+", key(VK_ADD), 120},          {"=", key(VK_OEM_PLUS), 140},
        {"-", key(VK_SUBTRACT), 120},     {"- (main keys)", key(VK_OEM_MINUS), 100},
        {"-", key(VK_SUBTRACT), 80},      {"Backspace", key(VK_BACK), 100},
        {"wheel forward", wheel(1), 120}, {"wheel back", wheel(-1), 100},
        {"wheel back", wheel(-1), 80},    {"middle click", [&] { Click(p.x, p.y, 2); }, 100},
        {"-", key(VK_SUBTRACT), 80},      {"Enter", key(VK_RETURN), 100},
    };
    for (const auto& [what, give, zoom] : steps) {
        SCOPED_TRACE(what);
        give();
        v.ExpectZoom(zoom);
        EXPECT_TRUE(zoom != 140 || (v.Window().right > GetSystemMetrics(SM_CXSCREEN) &&
                                    v.Window().bottom > GetSystemMetrics(SM_CYSCREEN)));
    }
}

TEST_F(PreviewInteraction, DoubleClickMaximizesAndRestores) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    ASSERT_TRUE(Focus(v.hwnd));
    KeyPress(VK_ADD);
    v.ExpectZoom(120);
    const RECT normal = v.Window();
    const POINT p = v.Picture();
    // Restored with its zoom by a second double-click (a zoom step restores too: the menu's).
    for (bool maximized : {true, false}) {
        WaitOutDoubleClickTime();
        DoubleClick(p.x, p.y);
        if (maximized) ExpectMaximized(v, normal);
    }
    v.ExpectZoom(120);
}

TEST_F(PreviewInteraction, DragMovesCtrlDragAndArrowsPan) {
    View v = Open(200, 150, 600, 400, {100, 80, 400, 280});
    ASSERT_TRUE(Focus(v.hwnd));
    // A plain drag moves the window by the drag; the picture stays.
    POINT p = v.Picture();
    Drag(p.x, p.y, p.x + 70, p.y + 45);
    v.corner = {v.corner.x + 70, v.corner.y + 45};
    v.ExpectZoom(100);

    // With Ctrl held the picture follows the pointer, as far as the source's client area goes.
    p = v.Picture();
    HoldModifier(VK_CONTROL, true);
    const AtExit release{[] { HoldModifier(VK_CONTROL, false); }};
    const std::tuple<int, int, RECT> pans[] = {{-50, -30, {150, 110, 450, 310}},
                                               {-400, -300, {300, 200, 600, 400}}};
    for (const auto& [dx, dy, region] : pans) {
        WaitOutDoubleClickTime();
        Drag(p.x, p.y, p.x + dx, p.y + dy);
        v.region = region;
        v.ExpectZoom(100);
    }
    HoldModifier(VK_CONTROL, false);

    // An arrow shows what lies 10 source pixels further that way.
    const std::tuple<WORD, int, int> arrows[] = {
        {VK_LEFT, -10, 0}, {VK_UP, 0, -10}, {VK_RIGHT, 10, 0}, {VK_DOWN, 0, 10}};
    for (const auto& [arrow, dx, dy] : arrows) {
        KeyPress(arrow);
        OffsetRect(&v.region, dx, dy);
        v.ExpectZoom(100);
    }
}

TEST_F(PreviewInteraction, ResizeChangesTheRegionAtConstantZoom) {
    View v = Open(900, 300, 600, 400, {200, 150, 350, 250});
    ASSERT_TRUE(Focus(v.hwnd));
    for (int zoom = 120; zoom <= 200; zoom += 20) {
        KeyPress(VK_ADD);
        v.ExpectZoom(zoom);
    }
    // The left border dragged out: the region grows to the left, its right edge stays.
    const RECT w = v.Window();
    const std::tuple<int, RECT> drags[] = {
        {w.left + 1 - 40, {180, 150, 350, 250}}, // 40 px: 20 source pixels at 200 %
        {w.right - 805, {0, 150, 400, 250}},     // the region stops at the source's left edge
        {10, {0, 150, 600, 250}},                // the window at the source's whole width
    };
    for (const auto& [toX, region] : drags) {
        Drag(v.corner.x + 1, (w.top + w.bottom) / 2, toX, (w.top + w.bottom) / 2);
        v.region = region;
        v.corner.x = w.right - (Width(region) * 2 + v.frame.cx);
        v.ExpectZoom(200);
    }
}

TEST_F(PreviewMenu, LabelsAtThePointerMaximizeZoomAndClose) {
    // The labels the items load, as the program's string table holds them.
    const lumetta::OwnedModule exe(
        LoadLibraryExW(LumettaExe().c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    const std::pair<UINT, const wchar_t*> labels[] = {{IDM_NEW_PREVIEW, L"New Preview"},
                                                      {IDM_BRING_TO_FRONT, L"Bring To Front"},
                                                      {IDM_MAXIMIZE, L"Maximize Preview"},
                                                      {IDM_RESTORE, L"Restore Preview"},
                                                      {IDM_ZOOM_IN, L"Zoom In"},
                                                      {IDM_ZOOM_OUT, L"Zoom Out"},
                                                      {IDM_ACTUAL_SIZE, L"Actual Size"},
                                                      {IDM_OPTIONS, L"Options..."},
                                                      {IDM_CLOSE_PREVIEW, L"Close Preview"},
                                                      {IDM_CLOSE_ALL, L"Close All"}};
    for (const auto& [id, label] : labels) {
        wchar_t text[64] = {};
        EXPECT_TRUE(LoadStringW(exe.Get(), id, text, int(std::size(text))) &&
                    text == std::wstring(label))
            << id << " reads " << Utf8(text);
    }
    View v = OpenForMenu();
    const DWORD pid = v.instance.process.pid;
    ASSERT_TRUE(v.hwnd);
    // A right click on the picture opens the menu at the pointer; on the resize border, nothing.
    const POINT at = v.Picture();
    Click(at.x, at.y, 3);
    const HWND menu = WaitPopupMenu(pid);
    ASSERT_TRUE(menu) << "no menu";
    EXPECT_EQ(Inspect(menu).window.left, at.x);
    EXPECT_EQ(Inspect(menu).window.top, at.y);
    KeyPress(VK_ESCAPE);
    const RECT start = v.Window();
    const POINT border{(start.left + start.right) / 2, start.bottom - 1};
    // Once the menu has gone from over it.
    ASSERT_TRUE(WaitUntil([&] { return WindowFromPoint(border) == v.hwnd; }, 5000));
    Click(border.x, border.y, 3);
    EXPECT_FALSE(WaitPopupMenu(pid, 1500)) << "a menu on the border";

    // Zoom steps keep the window's top-left corner; one while maximized only restores.
    const std::pair<int, int> steps[] = {{kZoomOut, 80}, {kMaximize, 0}, {kZoomIn, 80}};
    for (const auto& [item, zoom] : steps) { // zoom 0: maximized
        SCOPED_TRACE(testing::Message() << "item " << item);
        const RECT normal = v.Window();
        Choose(v, item);
        if (zoom) v.ExpectZoom(zoom);
        if (!zoom) ExpectMaximized(v, normal);
    }

    // Close Preview closes this one; Close All, the last item, all of them.
    const RECT area = v.source.ScreenRect(400, 40, 580, 250);
    const HWND other = OpenByHandOff(v.instance, v.source.hwnd, area);
    ASSERT_TRUE(other);
    Choose(v, kClose);
    EXPECT_TRUE(WaitWindowGone(v.hwnd));
    EXPECT_EQ(Previews(pid), std::vector<HWND>{other});
    ASSERT_TRUE(OpenByHandOff(v.instance, v.source.hwnd, area));
    const RECT client = Inspect(other).client;
    Choose(v, kLastItem, POINT{client.left + 20, client.top + 20});
    EXPECT_TRUE(WaitUntil([&] { return Previews(pid).empty(); }, kWindowTimeoutMs));

    // With one preview at a time there is no Close All: the last item is Close Preview.
    Clean();
    SetFlags(lumetta::SETTINGS_KEEP_ON_TOP);
    const View single = OpenForMenu();
    ASSERT_TRUE(single.hwnd);
    Choose(single, kLastItem);
    EXPECT_TRUE(WaitWindowGone(single.hwnd)) << "the last item is not Close Preview";
}

TEST_F(PreviewMenu, BringToFrontRestoresOrLeavesAHungSource) {
    View v = OpenForMenu();
    ASSERT_TRUE(v.hwnd);
    const HWND source = v.source.hwnd;
    ASSERT_TRUE(rig::FixtureCommand(source, rig::FIXTURE_CMD_MINIMIZE));
    Choose(v, kBringToFront);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(source) && GetForegroundWindow() == source; },
                          kWindowTimeoutMs))
        << "not restored to the foreground";

    // Under Wine no pointer input reaches any window while a hung window is the foreground one,
    // so the preview is brought forward first, once the source has done restoring (it answers),
    // and again if the restore's activation came after. Wine calls a window hung once its thread
    // has not looked for a message for about five seconds.
    ASSERT_TRUE(rig::FixtureFrame(source));
    ASSERT_TRUE(WaitUntil([&] { return Focus(v.hwnd); }, kWindowTimeoutMs));
    ASSERT_TRUE(rig::FixtureCommand(source, rig::FIXTURE_CMD_HANG, 0));
    ASSERT_TRUE(WaitUntil([&] { return IsHungAppWindow(source) != FALSE; }, 15000));
    ASSERT_EQ(GetForegroundWindow(), v.hwnd);
    // Choose checks that the thread answers once the command has run.
    Choose(v, kBringToFront);
    EXPECT_EQ(GetForegroundWindow(), v.hwnd) << "the hung source was brought forward";
    // A posted zoom step is handled only once the thread is back in its message loop.
    PostMessageW(v.hwnd, WM_COMMAND, IDM_ZOOM_IN, 0);
    v.ExpectZoom(120);
}

TEST_F(PreviewMenu, SourceInfoOnIAndF12) {
    View v = OpenForMenu();
    ASSERT_TRUE(v.hwnd);
    wchar_t handle[20] = {};
    std::swprintf(handle, std::size(handle), L"%016llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(v.source.hwnd)));
    const std::wstring text = L"Handle:  " + std::wstring(handle) +
                              L"\r\nClass:  MenuSource\r\nTitle:  Menu Src\r\nProcess:  ";
    for (const WORD key : {WORD(VK_F12), WORD('I')}) {
        // The foreground may come back from the box just dismissed only a while later, and Wine
        // may hand it on once more to a window that had the X focus: then the key is given again.
        std::optional<MessageBoxInfo> box;
        for (int attempt = 0; attempt < 3 && !box; ++attempt) {
            ASSERT_TRUE(WaitUntil([&] { return Focus(v.hwnd); }, kWindowTimeoutMs));
            KeyPress(key);
            box = TakeMessageBox(v.instance.process.pid, 3000);
            if (GetForegroundWindow() == v.hwnd) break; // the key reached the preview
        }
        ASSERT_TRUE(box) << "no box on key " << key;
        EXPECT_EQ(
            std::tie(box->caption, box->owner, box->text),
            std::make_tuple(lumetta::APP_TITLE, HWND(nullptr), text + RigPath(L"fixture.exe")));
    }
}

// Only the system's own DPI change is taken, and a pointer from another process is never read:
// sent or posted from here, no message moves the window, opens a menu or loses the zoom and the
// region, whatever its address (the two programs load at the same base address, so this one's
// data is readable memory there; the shared page is readable everywhere).
TEST_F(PreviewMenu, HostileMessagesChangeNothing) {
    View v = OpenForMenu();
    ASSERT_TRUE(v.hwnd);
    static RECT elsewhere{0, 0, 640, 480};
    const LPARAM addresses[] = {0, LPARAM(0xDEADBEEF), 0x7FFE0000,
                                reinterpret_cast<LPARAM>(&elsewhere)};
    const UINT dpi = GetDpiForWindow(v.hwnd);
    std::vector<std::pair<UINT, WPARAM>> messages{{lumetta::WM_PREVIEW_SHOWMENU, 0},
                                                  {WM_DPICHANGED, MAKEWPARAM(dpi, dpi)},
                                                  {WM_DPICHANGED, MAKEWPARAM(144, 144)}};
    for (const WPARAM id : {0, 1, 20110, 0xFFFF})
        messages.push_back({WM_COMMAND, id});
    for (const auto& [message, wParam] : messages) {
        for (const LPARAM lParam : addresses) {
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(v.hwnd, message, wParam, lParam, SMTO_NORMAL, 2000, &answer);
            PostMessageW(v.hwnd, message, wParam, lParam);
        }
    }
    // Posted messages are handled in order: a zoom step posted after them shows once they are.
    PostMessageW(v.hwnd, WM_COMMAND, IDM_ZOOM_IN, 0);
    v.ExpectZoom(120);
    EXPECT_FALSE(ShownMenu(v.instance.process.pid)) << "a menu opened";
}

// The road from a selection to a preview in the main instance: a running instance gets the area,
// a missing one is started first with "-startup -wait" (also in silent mode), and an instance
// that refuses or hangs is told to exit.
#include "selection_support.h"

#include "tools/fixture/control.h"

using namespace e2e;

namespace {

constexpr DWORD kPreviewWaitMs = 10000;

class SelectionHandOff : public sel::SelectionTest {};

HWND WaitMainWindow(DWORD exceptPid, DWORD timeoutMs = kWindowTimeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd : FindTopLevel(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE)) {
                if (WindowPid(hwnd) != exceptPid && WindowPid(hwnd) != GetCurrentProcessId()) {
                    found = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND WaitPreview(DWORD pid, size_t count = 1) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto all = FindTopLevel(lumetta::PREVIEW_WINDOW_CLASS, nullptr, pid);
            if (all.size() < count) return false;
            for (HWND hwnd : all) {
                if (IsWindowVisible(hwnd)) found = hwnd;
            }
            return found != nullptr;
        },
        kPreviewWaitMs);
    return found;
}

// The sources of the thumbnails the stand-in compositor registered for a preview window.
std::vector<std::string> ThumbnailSources(HWND preview) {
    std::vector<std::string> sources;
    const std::string destination = sel::HandleText(preview);
    for (const std::string& line : DwmCalls("DwmRegisterThumbnail")) {
        if (JsonField(line, "hwndDestination") == destination) {
            if (auto source = JsonField(line, "hwndSource")) sources.push_back(*source);
        }
    }
    return sources;
}

// Drags from (x0, y0) to (x1, y1) in a new selection process and waits for it to end.
std::optional<DWORD> SelectArea(int x0, int y0, int x1, int y1) {
    sel::Selection s = sel::StartSelection();
    if (!s.window) {
        ADD_FAILURE() << "no selection window";
        return std::nullopt;
    }
    sel::DragFromTo(x0, y0, x1, y1);
    auto code = s.process.WaitExit();
    if (!code) {
        const WindowInfo under = Inspect(WindowFromPoint(POINT{x0, y0}));
        ADD_FAILURE() << "the selection did not end; under the first corner: "
                      << Utf8(under.className) << " of process " << under.pid << "; see "
                      << TakeScreenshot("selection-did-not-end").pngPath;
    }
    return code;
}

} // namespace

// With no instance running, the selection starts one with "-startup -wait" and hands it the
// area; the preview opens over it, showing the window beneath. Silent mode makes no difference:
// -wait is what keeps that instance.
TEST_F(SelectionHandOff, StartsTheMainInstanceWhenNoneRuns) {
    struct Case {
        const char* what;
        std::optional<DWORD> flags;
    } const cases[] = {
        {"default settings", std::nullopt},
        {"silent mode", lumetta::SETTINGS_DEFAULT_FLAGS | lumetta::SETTINGS_SILENT_MODE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KillAllLumetta();
        if (c.flags) sel::SetSettingsFlags(*c.flags);
        sel::Fixture source = sel::StartFixture(600, 300, 400, 300);
        ASSERT_TRUE(source.hwnd);

        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window);
        sel::DragFromTo(650, 350, 900, 550);
        HWND main = WaitMainWindow(s.process.pid);
        ASSERT_TRUE(main) << "no main instance was started";
        const DWORD mainPid = WindowPid(main);
        auto commandLine = sel::CommandLineOf(mainPid);
        ASSERT_TRUE(commandLine.has_value());
        const std::wstring tail = L" -startup -wait";
        EXPECT_TRUE(commandLine->size() >= tail.size() &&
                    commandLine->compare(commandLine->size() - tail.size(), tail.size(), tail) == 0)
            << "started as " << Utf8(*commandLine);
        auto code = s.process.WaitExit();
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);

        // The preview lies exactly over the selected area and shows the fixture.
        HWND preview = WaitPreview(mainPid);
        ASSERT_TRUE(preview) << "no preview opened in the started instance";
        const WindowInfo info = Inspect(preview);
        EXPECT_TRUE(sel::SameRect(info.client, RECT{650, 350, 900, 550}))
            << "preview client area " << sel::RectText(info.client);
        const auto sources = ThumbnailSources(preview);
        ASSERT_FALSE(sources.empty());
        EXPECT_EQ(sources.back(), sel::HandleText(source.hwnd));
        EXPECT_TRUE(IsWindow(main));
        EXPECT_EQ(sel::LumettaProcesses().size(), 1u) << "only the main instance stays";
    }
}

// A running instance gets the area without a second one being started; its own preview is never
// taken for the window under a later selection over it.
TEST_F(SelectionHandOff, RunningInstanceOpensPreviewsAndIsNeverItsOwnSource) {
    sel::Fixture source = sel::StartFixture(500, 200, 500, 400);
    ASSERT_TRUE(source.hwnd);
    Process mainProcess = StartLumetta(L"-startup");
    HWND main = WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, kWindowTimeoutMs,
                           mainProcess.pid);
    ASSERT_TRUE(main);

    ASSERT_EQ(SelectArea(550, 250, 800, 450), std::optional<DWORD>(0));
    HWND first = WaitPreview(mainProcess.pid);
    ASSERT_TRUE(first) << "no preview";
    EXPECT_EQ(sel::LumettaProcesses().size(), 1u);

    // Select again over the preview: the window beneath it is the source, not the preview.
    ASSERT_EQ(SelectArea(600, 300, 700, 400), std::optional<DWORD>(0));
    HWND second = nullptr;
    WaitUntil(
        [&] {
            for (HWND hwnd :
                 FindTopLevel(lumetta::PREVIEW_WINDOW_CLASS, nullptr, mainProcess.pid)) {
                if (hwnd != first && IsWindowVisible(hwnd)) second = hwnd;
            }
            return second != nullptr;
        },
        kPreviewWaitMs);
    ASSERT_TRUE(second) << "no second preview";
    const auto sources = ThumbnailSources(second);
    ASSERT_FALSE(sources.empty());
    EXPECT_EQ(sources.back(), sel::HandleText(source.hwnd));
}

// The running instance refuses an empty area (a second press on the anchor): the selection tells
// it to exit, and it does.
TEST_F(SelectionHandOff, RunningInstanceThatRefusesIsToldToExit) {
    Process mainProcess = StartLumetta(L"-startup");
    ASSERT_TRUE(WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, kWindowTimeoutMs,
                           mainProcess.pid));
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    sel::ClickAt(640, 480);
    sel::WaitOutDoubleClickTime();
    sel::ClickAt(640, 480);
    auto code = s.process.WaitExit();
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 0u);
    auto mainCode = mainProcess.WaitExit();
    ASSERT_TRUE(mainCode.has_value()) << "the refusing instance was not ended";
    EXPECT_EQ(*mainCode, 0u);
}

// A main window that answers 0 or does not answer within 2 seconds is told to exit; one that
// accepts is not. The selection never waits much longer than the time-out.
TEST_F(SelectionHandOff, RefusingOrHungMainWindowIsToldToExit) {
    struct Case {
        const char* what;
        sel::Answer answer;
        DWORD hangMs;
        bool toldToExit;
    } const cases[] = {
        {"accepts", sel::Answer::Accept, 0, false},
        {"refuses", sel::Answer::Refuse, 0, true},
        {"hangs", sel::Answer::Hang, 3500, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sel::FakeMainWindow main(c.answer, c.hangMs);
        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window);
        sel::DragFromTo(300, 300, 420, 390);
        auto got = main.WaitHandOff();
        ASSERT_TRUE(got.has_value());
        auto code = s.process.WaitExit();
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0u);
        if (c.answer == sel::Answer::Hang) {
            // From the moment the record arrived to the end of the selection process, both as
            // the system recorded them (a loaded machine may notice either late).
            const uint64_t exited = sel::ExitTimeOf(s.process.handle);
            ASSERT_GT(exited, got->receivedAt);
            const uint64_t waitedMs = (exited - got->receivedAt) / 10000;
            EXPECT_GE(waitedMs, 1900u) << "gave up before the 2-second time-out";
            EXPECT_LT(waitedMs, c.hangMs) << "waited for the hung window";
        }
        if (c.toldToExit) {
            EXPECT_TRUE(main.WaitExitRequest()) << "not told to exit";
        } else {
            EXPECT_TRUE(main.InstanceCommands().empty());
        }
        EXPECT_TRUE(sel::LumettaProcesses().empty()) << "a main window exists: nothing to start";
    }
}

// The road as a user meets it: a double-click on the tray icon dims the screen, a drag over a
// window opens a live preview of that area in the main instance. The source is then moved away:
// the preview still shows the source's pixels where the desktop now lies beneath it, and they
// change from frame to frame.
TEST_F(SelectionHandOff, TrayDoubleClickToLivePreview) {
    const RECT sourceClient{600, 300, 1000, 600};
    sel::Fixture source = sel::StartFixture(600, 300, 400, 300, L"", 20);
    ASSERT_TRUE(source.hwnd);
    Process mainProcess = StartLumetta(L"-startup");
    ASSERT_TRUE(WaitWindow(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, kWindowTimeoutMs,
                           mainProcess.pid));
    ASSERT_TRUE(WaitTrayVisible(true));
    const POINT icon = FirstTrayIcon();
    sel::ClickAt(icon.x, icon.y);
    sel::ClickAt(icon.x, icon.y);
    HWND selection = WaitWindow(lumetta::SELECTION_WINDOW_CLASS, lumetta::APP_TITLE);
    ASSERT_TRUE(selection) << "the tray double-click started no selection";
    WaitUntil([&] { return IsWindowVisible(selection) != FALSE; }, kWindowTimeoutMs);

    const RECT area{650, 350, 900, 550};
    sel::DragFromTo(area.left, area.top, area.right, area.bottom);
    HWND preview = WaitPreview(mainProcess.pid);
    ASSERT_TRUE(preview) << "no preview";
    EXPECT_TRUE(sel::SameRect(Inspect(preview).client, area))
        << "preview client area " << sel::RectText(Inspect(preview).client);
    MouseMove(40, 40); // off the preview, so nothing hovers over it

    ASSERT_TRUE(rig::FixtureMoveClient(source.hwnd, rig::FixtureRect{1200, 650, 400, 300}));
    // Samples inside the preview, clear of its edges; each shows the source pixel at the same
    // offset in the source's client area, not the desktop now beneath.
    auto sourcePixelsShown = [&](const Screenshot& shot, std::vector<uint8_t>* frames) {
        int matches = 0, samples = 0;
        for (int y = area.top + 20; y < area.bottom - 20; y += 23) {
            for (int x = area.left + 20; x < area.right - 20; x += 29) {
                ++samples;
                const rig::Rgb seen = sel::ToRgb(shot.Pixel(x, y));
                const rig::Rgb want =
                    rig::ExpectedFixturePixel(x - sourceClient.left, y - sourceClient.top, 0);
                if (std::abs(seen.r - want.r) <= 3 && std::abs(seen.g - want.g) <= 3) ++matches;
                if (frames) frames->push_back(seen.b);
            }
        }
        return matches * 10 >= samples * 9;
    };
    std::vector<uint8_t> first, second;
    Screenshot shot;
    ASSERT_TRUE(WaitUntil(
        [&] {
            shot = TakeScreenshot("selection-road");
            first.clear();
            return shot.Valid() && sourcePixelsShown(shot, &first);
        },
        kPreviewWaitMs))
        << "the preview does not show the source; see " << shot.pngPath;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = TakeScreenshot("selection-road-later");
            second.clear();
            return shot.Valid() && sourcePixelsShown(shot, &second) && second != first;
        },
        kPreviewWaitMs))
        << "the preview is not live; see " << shot.pngPath;
}

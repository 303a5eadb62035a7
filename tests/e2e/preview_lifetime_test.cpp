// Sources a preview cannot show, and every way a preview ends: its source going away or its
// handle coming to another process, and a silent-mode instance ending with its last preview.
#include <algorithm>
#include <cstdio>
#include <numeric>

#include "preview_support.h"

using namespace e2e;

namespace {

TEST_F(PreviewTest, SourcesThatCannotBeShownOpenNothing) {
    pv::SetFlags(pv::kAddOnTop);
    pv::Fixture source = pv::StartFixture(203, 157, 400, 300);
    ASSERT_TRUE(source.hwnd);

    // On the command line: "Failed to create preview.", then the instance ends.
    Process failed = StartLumetta(
        L"-preview " + pv::HandleArg(source.hwnd) + L" " +
        pv::RectArgs(source.ScreenRect(450, 20, 600, 200))); // right of the client area
    auto box = WaitMessageBox(failed.pid);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Lumetta");
    EXPECT_EQ(box->text, L"Failed to create preview.");
    EXPECT_TRUE(pv::Previews(failed.pid).empty());
    DismissMessageBox(*box);
    EXPECT_TRUE(failed.WaitExit().has_value());

    // Handed off to a running instance: answered 0, nothing opens.
    pv::Instance instance = pv::StartInstance();
    ASSERT_TRUE(instance.main);
    pv::Fixture hidden = pv::StartFixture(250, 200, 300, 200, L"--hidden");
    pv::Fixture minimized = pv::StartFixture(250, 200, 300, 200, L"--minimized");
    pv::Fixture refused = pv::StartFixture(250, 200, 300, 200, L"--title Refused");
    ASSERT_TRUE(hidden.hwnd && minimized.hwnd && refused.hwnd);
    ASSERT_TRUE(dwmrig::SetRefused(refused.hwnd, E_ACCESSDENIED));
    const struct {
        const char* name;
        HWND source;
        RECT selection;
    } cases[] = {
        {"wholly outside the client area", source.hwnd, source.ScreenRect(-100, 50, -1, 150)},
        {"hidden source", hidden.hwnd, hidden.ScreenRect(10, 10, 200, 150)},
        {"minimized source (no client area)", minimized.hwnd,
         minimized.ScreenRect(10, 10, 200, 150)},
        {"thumbnail refused", refused.hwnd, refused.ScreenRect(10, 10, 200, 150)},
        {"no such window", reinterpret_cast<HWND>(0x7FFE), source.ScreenRect(10, 10, 200, 150)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto answer = pv::HandOff(instance.main, c.source, c.selection);
        ASSERT_TRUE(answer);
        EXPECT_EQ(*answer, 0);
        EXPECT_TRUE(pv::Previews(instance.process.pid).empty());
        EXPECT_TRUE(MessageBoxes(instance.process.pid).empty());
    }
    // The refused registration was tried once and nothing was left registered or updated.
    auto tries = pv::DwmCallsWith("DwmRegisterThumbnail", instance.process.pid, "hwndSource",
                                  pv::HandleText(refused.hwnd));
    ASSERT_EQ(tries.size(), 1u);
    EXPECT_TRUE(pv::LineHas(tries[0], "hr", "0x80070005"));
    EXPECT_TRUE(
        DwmCalls("DwmUpdateThumbnailProperties").empty() ||
        pv::DwmCallsWith("DwmUpdateThumbnailProperties", instance.process.pid, "hr", "0x00000000")
            .empty());
    EXPECT_TRUE(instance.process.Running());
}

TEST_F(PreviewTest, HiddenOrMinimizedSourceKeepsItsPreview) {
    pv::SetFlags(pv::kAddOnTop | lumetta::SETTINGS_SILENT_MODE);
    pv::Fixture source = pv::StartFixture(203, 157, 400, 300);
    ASSERT_TRUE(source.hwnd);
    HWND preview = nullptr;
    pv::Instance instance =
        pv::StartWithPreview(source.hwnd, source.ScreenRect(20, 20, 300, 200), &preview);
    ASSERT_TRUE(preview);
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_HIDE));
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_SHOW));
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_MINIMIZE));
    // Three turns of the source watch see the source still there.
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(preview); }, 1600));
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_RESTORE));
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_CLOSE));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 3000));
}

// The source watch runs every 500 ms, so a preview follows its source within about that long.
TEST_F(PreviewTest, ClosesWithinHalfASecondOfItsSource) {
    pv::SetFlags(pv::kAddOnTop);
    pv::Instance instance = pv::StartInstance();
    ASSERT_TRUE(instance.main);
    std::vector<double> latencies;
    for (int i = 0; i < 10; ++i) {
        pv::Fixture source = pv::StartFixture(203 + 9 * i, 157 + 7 * i, 320, 200);
        ASSERT_TRUE(source.hwnd);
        HWND preview =
            pv::OpenByHandOff(instance, source.hwnd, source.ScreenRect(10, 10, 250, 180));
        ASSERT_TRUE(preview);
        // The watch's timer starts with the preview: spread the closing over its period, or every
        // sample would fall at the same phase.
        const double opened = pv::NowMs();
        ASSERT_TRUE(pv::WaitFine([&] { return pv::NowMs() - opened >= 50.0 * i; }, 2000));
        ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_CLOSE));
        const double closed = pv::NowMs();
        ASSERT_TRUE(pv::WaitFine([&] { return !IsWindow(preview); }, 5000));
        latencies.push_back(pv::NowMs() - closed);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("[ preview close latency ms ] min %.0f median %.0f max %.0f mean %.0f (n=%zu)\n",
                latencies.front(), latencies[latencies.size() / 2], latencies.back(),
                std::accumulate(latencies.begin(), latencies.end(), 0.0) / latencies.size(),
                latencies.size());
    for (double ms : latencies)
        EXPECT_LT(ms, 900.0) << "one period of the watch and some slack";
}

TEST_F(PreviewTest, ClosesWhenTheSourceHandleComesToAnotherProcess) {
    pv::SetFlags(pv::kAddOnTop);
    pv::Instance instance = pv::StartInstance();
    ASSERT_TRUE(instance.main);
    pv::OwnWindow warm; // the first window of a thread brings helper windows with it
    ASSERT_TRUE(warm.Get());

    // The control: the index taken again by a window of the same process keeps the preview.
    {
        pv::OwnWindow first;
        const HWND handle = pv::IndexOnly(first.Get());
        HWND preview = pv::OpenByHandOff(instance, handle, RECT{710, 510, 890, 640});
        ASSERT_TRUE(preview);
        first.Destroy();
        {
            pv::IndexTaker second;
            ASSERT_TRUE(second.Take(handle)) << "the index went to another process";
            EXPECT_FALSE(WaitUntil([&] { return !IsWindow(preview); }, 1600));
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 3000));
    }

    // A fixture's window gone and its index taken at once by a window of this process.
    pv::Fixture source = pv::StartFixture(203, 157, 320, 200);
    ASSERT_TRUE(source.hwnd);
    const HWND handle = pv::IndexOnly(source.hwnd);
    HWND preview = pv::OpenByHandOff(instance, handle, source.ScreenRect(10, 10, 250, 180));
    ASSERT_TRUE(preview);
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_CLOSE));
    pv::IndexTaker taker;
    ASSERT_TRUE(taker.Take(handle)) << "the index went to another process";
    ASSERT_TRUE(IsWindow(handle));
    ASSERT_EQ(WindowPid(handle), GetCurrentProcessId());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 3000));
}

TEST_F(PreviewTest, SilentInstanceEndsWithItsLastPreview) {
    pv::SetFlags(pv::kAddOnTop | lumetta::SETTINGS_SILENT_MODE);
    pv::Fixture first = pv::StartFixture(203, 157, 320, 200);
    pv::Fixture second = pv::StartFixture(603, 157, 320, 200);
    ASSERT_TRUE(first.hwnd && second.hwnd);
    HWND preview = nullptr;
    pv::Instance instance =
        pv::StartWithPreview(first.hwnd, first.ScreenRect(10, 10, 250, 180), &preview);
    ASSERT_TRUE(preview);
    ASSERT_TRUE(pv::OpenByHandOff(instance, second.hwnd, second.ScreenRect(10, 10, 250, 180)));
    ASSERT_TRUE(rig::FixtureCommand(first.hwnd, rig::FIXTURE_CMD_CLOSE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(preview); }, 3000));
    EXPECT_TRUE(instance.process.Running()) << "one preview is left";
    ASSERT_TRUE(rig::FixtureCommand(second.hwnd, rig::FIXTURE_CMD_CLOSE));
    auto code = instance.process.WaitExit(5000);
    ASSERT_TRUE(code) << "the instance outlived its last preview";
    EXPECT_EQ(*code, 0u);

    // Started to wait for a hand-off that then fails: it ends too, without a message.
    pv::Instance waiting = pv::StartInstance();
    ASSERT_TRUE(waiting.main);
    pv::Fixture hidden = pv::StartFixture(203, 157, 320, 200, L"--hidden");
    auto answer = pv::HandOff(waiting.main, hidden.hwnd, hidden.ScreenRect(10, 10, 250, 180));
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, 0);
    code = waiting.process.WaitExit(5000);
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
}

} // namespace

// A preview opens exactly over the selected area of its source, with the source's title, and is
// owned and topmost as the settings say; the stand-in compositor receives the thumbnail mapping.
#include "e2e.h"
#include "preview_support.h"

using namespace e2e;

namespace {

// Suites whose behaviour depends on the Windows version run under both.
class PreviewPlacementVersions : public PreviewTest {};

TEST_F(PreviewPlacementVersions, ClientAreaLiesOverTheSelection) {
    pv::SetFlags(pv::kAddOnTop);
    pv::Fixture source = pv::StartFixture(203, 157, 480, 320);
    ASSERT_TRUE(source.hwnd);
    const bool windows10 = pv::IsWindows10();
    const RECT frame = pv::StandardPreviewFrame();

    const struct {
        const char* name;
        RECT selection, shown; // screen coordinates
    } cases[] = {
        {"inside", source.ScreenRect(50, 40, 350, 250), source.ScreenRect(50, 40, 350, 250)},
        {"over the top-left corner", source.ScreenRect(-60, -30, 190, 150),
         source.ScreenRect(0, 0, 190, 150)},
        {"over the bottom-right corner", source.ScreenRect(300, 180, 700, 500),
         source.ScreenRect(300, 180, 480, 320)},
        {"small", source.ScreenRect(100, 100, 160, 130), source.ScreenRect(100, 100, 160, 130)},
        {"whole client area", source.ScreenRect(0, 0, 480, 320), source.ScreenRect(0, 0, 480, 320)},
    };
    pv::Instance instance;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The first preview starts the main instance; the others are handed to it.
        HWND preview = nullptr;
        if (!instance.main) {
            instance = pv::StartWithPreview(source.hwnd, c.selection, &preview);
            ASSERT_TRUE(instance.main);
        } else {
            preview = pv::OpenByHandOff(instance, source.hwnd, c.selection);
        }
        ASSERT_TRUE(preview);
        const WindowInfo info = Inspect(preview);
        EXPECT_TRUE(pv::SameRect(info.client, c.shown))
            << "client " << pv::RectText(info.client) << ", selection shown "
            << pv::RectText(c.shown);
        // The frame lies around the area: on Windows 10 a custom frame with a 1-pixel top edge.
        const RECT expectedWindow{c.shown.left + frame.left,
                                  windows10 ? c.shown.top - 1 : c.shown.top + frame.top,
                                  c.shown.right + frame.right, c.shown.bottom + frame.bottom};
        EXPECT_TRUE(pv::SameRect(info.window, expectedWindow))
            << "window " << pv::RectText(info.window) << ", expected "
            << pv::RectText(expectedWindow);

        // The thumbnail: the source's whole client area at 100 %, shifted to the area's corner.
        const std::string thumb = pv::ThumbnailOf(preview, instance.process.pid);
        ASSERT_FALSE(thumb.empty());
        auto registered =
            pv::DwmCallsWith("DwmRegisterThumbnail", instance.process.pid, "thumb", thumb);
        ASSERT_EQ(registered.size(), 1u);
        EXPECT_TRUE(pv::LineHas(registered[0], "hwndSource", pv::HandleText(source.hwnd)));
        std::vector<std::string> updates;
        WaitUntil(
            [&] {
                updates = pv::DwmCallsWith("DwmUpdateThumbnailProperties", instance.process.pid,
                                           "thumb", thumb);
                return !updates.empty();
            },
            2000);
        ASSERT_EQ(updates.size(), 1u) << "one update at creation, none after";
        const std::string& props = updates[0];
        EXPECT_TRUE(pv::LineHas(props, "dwFlags", "0x1b"));
        EXPECT_TRUE(pv::LineHas(props, "opacity", "255"));
        EXPECT_TRUE(pv::LineHas(props, "fVisible", "1"));
        EXPECT_TRUE(pv::LineHas(props, "fSourceClientAreaOnly", "1"));
        EXPECT_TRUE(pv::LineHas(props, "hr", "0x00000000"));
        const LONG dx = c.shown.left - source.client.left, dy = c.shown.top - source.client.top;
        auto destination = JsonRect(props, "rcDestination");
        auto sourceRect = JsonRect(props, "rcSource");
        ASSERT_TRUE(destination && sourceRect);
        EXPECT_TRUE(pv::SameRect(*destination, RECT{-dx, -dy, 480 - dx, 320 - dy}))
            << pv::RectText(*destination);
        EXPECT_TRUE(pv::SameRect(*sourceRect, RECT{0, 0, 480, 320})) << pv::RectText(*sourceRect);

        // Slightly rounded corners on Windows 10; nothing of the kind before.
        auto corners = pv::DwmCallsWith("DwmSetWindowAttribute", instance.process.pid, "hwnd",
                                        pv::HandleText(preview));
        if (windows10) {
            ASSERT_EQ(corners.size(), 1u);
            EXPECT_TRUE(pv::LineHas(corners[0], "dwAttribute", "33"));
            EXPECT_TRUE(pv::LineHas(corners[0], "value", "3"));
        } else {
            EXPECT_TRUE(corners.empty());
        }
    }
    EXPECT_EQ(pv::Previews(instance.process.pid).size(), std::size(cases));
}

TEST_F(PreviewTest, TitleOwnerAndTopmostFollowTheSettings) {
    const DWORD taskbar = lumetta::SETTINGS_TASKBAR_BUTTONS | lumetta::SETTINGS_MULTIPLE_PREVIEWS;
    const struct {
        const char* name;
        DWORD flags;
        const wchar_t* fixtureArgs;
        const wchar_t* title;
        bool topmost, owned;
    } cases[] = {
        {"defaults", pv::kAddOnTop, L"--title \"Source Window\"", L"Source Window", true, true},
        {"taskbar buttons, not on top", taskbar, L"--no-title", L"Lumetta", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Clean();
        pv::SetFlags(c.flags);
        pv::Fixture source = pv::StartFixture(320, 240, 300, 200, c.fixtureArgs);
        ASSERT_TRUE(source.hwnd);
        HWND preview = nullptr;
        pv::Instance instance =
            pv::StartWithPreview(source.hwnd, source.ScreenRect(10, 10, 290, 190), &preview);
        ASSERT_TRUE(preview);
        const WindowInfo info = Inspect(preview);
        EXPECT_EQ(info.title, c.title);
        EXPECT_EQ((info.exStyle & WS_EX_TOPMOST) != 0, c.topmost);
        // An owned popup has no taskbar button; an unowned one (not a tool window) has.
        EXPECT_EQ(info.owner, c.owned ? instance.main : nullptr);
        EXPECT_EQ(info.exStyle & WS_EX_TOOLWINDOW, 0u);
        const DWORD style = WS_POPUP | WS_VISIBLE | WS_THICKFRAME;
        EXPECT_EQ(info.style & style, style);
        EXPECT_EQ(info.style & (WS_CAPTION | WS_SYSMENU), 0u) << "no caption, no system menu";
    }
}

} // namespace

namespace {

// The colour a screenshot shows at a screen point, as the fixture's pattern type.
rig::Rgb ShotPixel(const Screenshot& shot, int x, int y) {
    const uint32_t p = shot.Pixel(x, y);
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
}

// The picture inside a preview's client area is the source's own pixels, live, even after the
// source has moved away from under it.
TEST_F(PreviewTest, PictureIsTheSourcesLivePixels) {
    pv::SetFlags(pv::kAddOnTop | lumetta::SETTINGS_SILENT_MODE);
    pv::Fixture source = pv::StartFixture(203, 157, 480, 320);
    ASSERT_TRUE(source.hwnd);
    const RECT selection = source.ScreenRect(100, 60, 300, 220);
    HWND preview = nullptr;
    pv::Instance instance = pv::StartWithPreview(source.hwnd, selection, &preview);
    ASSERT_TRUE(preview);
    // Away from under the preview: what the preview shows can only come from the thumbnail.
    ASSERT_TRUE(rig::FixtureMoveClient(source.hwnd, {1100, 600, 480, 320}));
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_FREEZE));
    const auto frame = rig::FixtureFrame(source.hwnd);
    ASSERT_TRUE(frame);

    // Client pixel (x, y) of the preview shows source client pixel (100 + x, 60 + y).
    const POINT samples[] = {{0, 0}, {199, 0}, {0, 159}, {199, 159}, {57, 91}, {150, 3}};
    const WindowInfo info = Inspect(preview);
    auto shows = [&](const Screenshot& shot, uint32_t f) {
        for (const POINT& s : samples) {
            if (ShotPixel(shot, info.client.left + s.x, info.client.top + s.y) !=
                rig::ExpectedFixturePixel(100 + s.x, 60 + s.y, f)) {
                return false;
            }
        }
        return true;
    };
    Screenshot shot;
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = TakeScreenshot("preview-frozen");
            return shot.Valid() && shows(shot, *frame);
        },
        8000))
        << "screenshot " << shot.pngPath;

    // Live: once the source animates again, so does the preview.
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_RESUME));
    EXPECT_TRUE(WaitUntil(
        [&] {
            shot = TakeScreenshot("preview-live");
            const rig::Rgb p = ShotPixel(shot, info.client.left + 57, info.client.top + 91);
            return shot.Valid() && p.r == 157 && p.g == 151 && p.b != (*frame & 255);
        },
        8000))
        << "screenshot " << shot.pngPath;
}

} // namespace

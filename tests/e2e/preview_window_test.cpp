// A preview as the user sees it: exactly over the selected area of its source, with the source's
// title, owned and topmost as the settings say, showing the source's own live pixels even when the
// source is covered; and what the compositor is asked for. The frame differs before Windows 10,
// so the suite also runs under Windows 7. The mapping's arithmetic is a unit table's.
#include <algorithm>
#include <tuple>

#include "e2e.h"
#include "preview/constants.h"

using namespace e2e;

namespace {

using PreviewVersions = E2eTest;

// The preview lies over shown with the frame around it (on Windows 10 a custom frame with a
// 1-pixel top edge), and its thumbnail is the source's whole client area at 100 %, shifted to
// shown's corner.
void ExpectPreviewOver(HWND preview, DWORD pid, const Fixture& source, const RECT& shown) {
    const WindowInfo info = Inspect(preview);
    EXPECT_EQ(info.client, shown);
    RECT frame{};
    AdjustWindowRectEx(&frame, lumetta::PREVIEW_STYLE, FALSE, lumetta::PREVIEW_EX_STYLE_TOPMOST);
    const bool windows10 = RegGetString(L"Software\\Wine", L"Version") == L"win10"; // the rig's
    EXPECT_EQ(info.window,
              (RECT{shown.left + frame.left,
                    windows10 ? shown.top - lumetta::CUSTOM_FRAME_TOP_EDGE : shown.top + frame.top,
                    shown.right + frame.right, shown.bottom + frame.bottom}));

    const std::string registration = RegistrationOf(preview, pid);
    EXPECT_TRUE(LineHas(registration, "hwndSource", HandleText(source.hwnd)));
    const std::string thumb = dwmrig::RecordField(registration, "thumb").value_or("?");
    const auto updates = WaitDwmCalls("DwmUpdateThumbnailProperties", pid, "thumb", thumb);
    ASSERT_EQ(updates.size(), 1u) << "one update at creation, none after";
    EXPECT_TRUE(LineHas(updates[0], "hr", "0x00000000"));
    const std::string props = dwmrig::RecordField(updates[0], "props").value_or("");
    for (const char* field : {"\"dwFlags\":\"0x1b\"", "\"opacity\":255", "\"fVisible\":1,",
                              "\"fSourceClientAreaOnly\":1}"})
        EXPECT_NE(props.find(field), std::string::npos) << field << " not in " << props;
    const RECT& c = source.client;
    EXPECT_EQ(
        LineRect(updates[0], "rcDestination"),
        (RECT{c.left - shown.left, c.top - shown.top, c.right - shown.left, c.bottom - shown.top}));
    EXPECT_EQ(LineRect(updates[0], "rcSource"), (RECT{0, 0, c.right - c.left, c.bottom - c.top}));

    // Slightly rounded corners on Windows 10; nothing of the kind before.
    const auto corners = DwmCalls("DwmSetWindowAttribute", pid, "hwnd", HandleText(preview));
    ASSERT_EQ(corners.size(), windows10 ? 1u : 0u);
    if (windows10) {
        EXPECT_TRUE(LineHas(corners[0], "dwAttribute", "33"));
        EXPECT_TRUE(LineHas(corners[0], "value", "3"));
    }
}

} // namespace

TEST_F(PreviewVersions, PlacementLookAndLivePicture) {
    Fixture source = StartFixture(203, 157, 480, 320, L"--title \"Source Window\"");
    const Fixture cover = StartFixture(183, 137, 520, 360, L"--class RigCover --fps 0");
    Instance instance = StartInstance(L"-preview " + HandleArg(source.hwnd) + L" " +
                                      RectArgs(source.ScreenRect(50, 40, 350, 250)));
    const DWORD pid = instance.process.pid;
    const HWND first = WaitNewPreview(pid);
    ExpectPreviewOver(first, pid, source, source.ScreenRect(50, 40, 350, 250));
    // An owned popup has no taskbar button; an unowned one (not a tool window) has.
    const auto look = [](HWND preview) {
        const WindowInfo info = Inspect(preview);
        return std::make_tuple(info.title, info.exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW),
                               info.owner,
                               info.style & (lumetta::PREVIEW_STYLE | WS_CAPTION | WS_SYSMENU));
    };
    EXPECT_EQ(look(first), std::make_tuple(std::wstring(L"Source Window"), DWORD(WS_EX_TOPMOST),
                                           instance.main, lumetta::PREVIEW_STYLE));
    // Over the source's corner: only what lies in its client area is shown.
    const HWND second = OpenByHandOff(instance, source.hwnd, source.ScreenRect(-60, -30, 190, 150));
    ASSERT_TRUE(second);
    ExpectPreviewOver(second, pid, source, source.ScreenRect(0, 0, 190, 150));

    // Covered by another window since before the previews came, frozen at one frame: client
    // pixel (x, y) of the first preview shows source pixel (50 + x, 40 + y) of that frame, and the
    // screen beside the previews shows the cover.
    MouseMove(1800, 1000); // off the previews, so that no hover bar shows
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_FREEZE));
    const auto frame = rig::FixtureFrame(source.hwnd);
    ASSERT_TRUE(frame);
    const RECT client = Inspect(first).client;
    const POINT origin{client.left - 50, client.top - 40};
    const POINT beside{603, 437};
    const auto shows = [&](const Screenshot& sh) { return ShownFixtureFrame(sh, client, origin); };
    Screenshot shot =
        ShotWhen("preview-covered", [&](auto& sh) { return shows(sh) == *frame % 256; });
    EXPECT_EQ(shows(shot), *frame % 256) << "see " << shot.pngPath;
    EXPECT_EQ(shot.Pixel(beside.x, beside.y),
              rig::ExpectedFixturePixel(beside.x - 183, beside.y - 137, 0))
        << "the source is not covered; see " << shot.pngPath;
    // Live: once the source animates again, so does the preview.
    ASSERT_TRUE(rig::FixtureCommand(source.hwnd, rig::FIXTURE_CMD_RESUME));
    const auto live = [&](const Screenshot& sh) { return shows(sh) && shows(sh) != *frame % 256; };
    shot = ShotWhen("preview-live", live);
    EXPECT_TRUE(live(shot)) << "the preview is not live; see " << shot.pngPath;

    Clean();
    SetFlags(lumetta::SETTINGS_TASKBAR_BUTTONS | lumetta::SETTINGS_MULTIPLE_PREVIEWS);
    const Fixture untitled = StartFixture(320, 240, 300, 200, L"--no-title");
    instance = StartInstance(L"-preview " + HandleArg(untitled.hwnd) + L" 330 250 610 430");
    const HWND preview = WaitNewPreview(instance.process.pid);
    EXPECT_EQ(look(preview), std::make_tuple(std::wstring(lumetta::APP_TITLE), DWORD(0),
                                             HWND(nullptr), lumetta::PREVIEW_STYLE));
}

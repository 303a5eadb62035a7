// The rig tells the truth: a thumbnail drawn by the stand-in compositor shows the real, current
// pixels of a covered fixture, at the place and scale asked for.
#include <dwmapi.h>

#include <cstdio>

#include "e2e.h"
#include "preview_support.h"
#include "tools/fixture/control.h"
#include "tools/fixture/pattern.h"

using namespace e2e;

namespace {

using RegisterFn = HRESULT(WINAPI*)(HWND, HWND, PHTHUMBNAIL);
using UpdateFn = HRESULT(WINAPI*)(HTHUMBNAIL, const DWM_THUMBNAIL_PROPERTIES*);
using UnregisterFn = HRESULT(WINAPI*)(HTHUMBNAIL);

template <typename Fn> Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool Near(uint8_t a, uint8_t b) {
    return (a > b ? a - b : b - a) <= 2;
}

} // namespace

TEST_F(E2eTest, RigThumbnailOfACoveredFixtureIsLiveAndInPlace) {
    // This program sits beside the stand-in, so the override gives it the stand-in too.
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    ASSERT_TRUE(dwm);
    auto registerThumbnail = Function<RegisterFn>(dwm, "DwmRegisterThumbnail");
    auto update = Function<UpdateFn>(dwm, "DwmUpdateThumbnailProperties");
    auto unregister = Function<UnregisterFn>(dwm, "DwmUnregisterThumbnail");
    ASSERT_TRUE(registerThumbnail && update && unregister);

    pv::Fixture source = pv::StartFixture(100, 120, 400, 300, L"--fps 25");
    ASSERT_TRUE(source.hwnd);
    pv::Fixture cover = pv::StartFixture(60, 80, 500, 400, L"--class RigCover --fps 0");
    ASSERT_TRUE(cover.hwnd);

    // Half of the source's 400 × 300 client area, from (100, 50), at twice its size.
    const int destX = 900, destY = 200, destW = 400, destH = 300;
    pv::OwnWindow window(RECT{destX, destY, destX + destW, destY + destH}, WS_EX_TOPMOST);
    HWND destination = window.Get();
    ASSERT_TRUE(destination);
    HTHUMBNAIL thumbnail = nullptr;
    ASSERT_EQ(registerThumbnail(destination, source.hwnd, &thumbnail), S_OK);
    DWM_THUMBNAIL_PROPERTIES props{};
    props.dwFlags = DWM_TNP_RECTDESTINATION | DWM_TNP_RECTSOURCE | DWM_TNP_VISIBLE |
                    DWM_TNP_SOURCECLIENTAREAONLY;
    props.rcDestination = RECT{0, 0, destW, destH};
    props.rcSource = RECT{100, 50, 300, 200};
    props.fVisible = TRUE;
    props.fSourceClientAreaOnly = TRUE;
    ASSERT_EQ(update(thumbnail, &props), S_OK);

    // Destination pixel (dx, dy) shows source client pixel (100 + dx / 2, 50 + dy / 2).
    auto matches = [&](const Screenshot& shot, uint8_t* blue) {
        const POINT samples[] = {{2, 2}, {150, 40}, {301, 151}, {397, 297}, {20, 260}};
        for (POINT s : samples) {
            uint32_t pixel = shot.Pixel(destX + s.x, destY + s.y);
            rig::Rgb want = rig::ExpectedFixturePixel(100 + s.x / 2, 50 + s.y / 2, 0);
            if (!Near(static_cast<uint8_t>(pixel >> 16), want.r) ||
                !Near(static_cast<uint8_t>(pixel >> 8), want.g)) {
                return false;
            }
            *blue = static_cast<uint8_t>(pixel);
        }
        return true;
    };
    uint8_t firstBlue = 0, laterBlue = 0;
    Screenshot first;
    ASSERT_TRUE(WaitUntil(
        [&] { return matches(first = TakeScreenshot("rig-thumbnail"), &firstBlue); }, 5000))
        << "the thumbnail does not show the source's pixels at the place and scale asked for";
    // The cover lies over the whole source: the screen there shows the cover, not the source.
    EXPECT_EQ(first.Pixel(300, 300) & 0xFF, 0u);
    Screenshot later;
    EXPECT_TRUE(WaitUntil(
        [&] {
            later = TakeScreenshot("rig-thumbnail-later");
            DiscardScreenshot(later);
            return matches(later, &laterBlue) && laterBlue != firstBlue;
        },
        5000))
        << "the thumbnail is not live";

    EXPECT_EQ(unregister(thumbnail), S_OK);
    std::printf("rig: thumbnail frames %u then %u; picture %s\n", firstBlue, laterBlue,
                first.pngPath.c_str());
}

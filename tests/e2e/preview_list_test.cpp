// The preview list seen from outside: previews added or replaced as the settings say, the limit of
// 100 with its message and a 0 answer, and desktop composition turned off under open previews.
#include <algorithm>

#include "preview_support.h"

using namespace e2e;

namespace {

const wchar_t kLimitText[] = L"The maximum of 100 simultaneous previews has been reached.";
const wchar_t kCompositionText[] =
    L"Lumetta requires the Aero theme to be enabled.\r\nGo to Control Panel -> Personalization "
    L"-> Aero Themes.";

// Composition comes back on whatever the test did.
class CompositionGuard {
public:
    ~CompositionGuard() { dwmrig::SetComposition(true); }
};

// The n-th of many small areas of a 600 × 400 source, all different.
RECT Area(const pv::Fixture& source, int n) {
    const int x = (n % 10) * 45, y = (n / 10) % 10 * 30;
    return source.ScreenRect(x, y, x + 140, y + 100);
}

TEST_F(PreviewTest, AddModeAddsAndReplaceModeReplaces) {
    pv::SetFlags(pv::kAddOnTop);
    pv::Fixture source = pv::StartFixture(203, 157, 600, 400);
    ASSERT_TRUE(source.hwnd);
    pv::Instance adding = pv::StartInstance();
    ASSERT_TRUE(adding.main);
    HWND previews[3] = {};
    for (int i = 0; i < 3; ++i) {
        previews[i] = pv::OpenByHandOff(adding, source.hwnd, Area(source, i));
        ASSERT_TRUE(previews[i]);
    }
    EXPECT_EQ(pv::Previews(adding.process.pid).size(), 3u);
    // A freed slot is used again; the others stay.
    PostMessageW(previews[1], WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitWindowGone(previews[1], 3000));
    HWND again = pv::OpenByHandOff(adding, source.hwnd, Area(source, 7));
    ASSERT_TRUE(again);
    EXPECT_TRUE(IsWindow(previews[0]) && IsWindow(previews[2]));
    EXPECT_EQ(pv::Previews(adding.process.pid).size(), 3u);
    Clean();

    // Replacing: each new preview takes the place of the one that is open.
    pv::SetFlags(lumetta::SETTINGS_KEEP_ON_TOP);
    pv::Instance replacing = pv::StartInstance();
    ASSERT_TRUE(replacing.main);
    HWND live = pv::OpenByHandOff(replacing, source.hwnd, Area(source, 0));
    ASSERT_TRUE(live);
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        const std::string oldThumb = pv::ThumbnailOf(live, replacing.process.pid);
        ASSERT_FALSE(oldThumb.empty());
        HWND next = pv::OpenByHandOff(replacing, source.hwnd, Area(source, i));
        ASSERT_TRUE(next);
        EXPECT_FALSE(IsWindow(live));
        EXPECT_EQ(pv::Previews(replacing.process.pid), std::vector<HWND>{next});
        // The old thumbnail went before the new one came.
        const std::vector<std::string> record = DwmRecord();
        auto unregistered = std::find_if(record.begin(), record.end(), [&](const std::string& l) {
            return pv::LineHas(l, "fn", "DwmUnregisterThumbnail") &&
                   pv::LineHas(l, "thumb", oldThumb);
        });
        auto registered = std::find_if(record.begin(), record.end(), [&](const std::string& l) {
            return pv::LineHas(l, "fn", "DwmRegisterThumbnail") &&
                   pv::LineHas(l, "hwndDestination", pv::HandleText(next));
        });
        ASSERT_NE(unregistered, record.end());
        ASSERT_NE(registered, record.end());
        EXPECT_LT(unregistered - record.begin(), registered - record.begin());
        live = next;
    }
}

TEST_F(PreviewTest, AHundredPreviewsAndNoMore) {
    pv::SetFlags(pv::kAddOnTop | lumetta::SETTINGS_SILENT_MODE);
    pv::Fixture source = pv::StartFixture(203, 157, 600, 400);
    ASSERT_TRUE(source.hwnd);
    pv::Instance instance = pv::StartInstance();
    ASSERT_TRUE(instance.main);
    for (int i = 0; i < 100; ++i) {
        auto answer = pv::HandOff(instance.main, source.hwnd, Area(source, i));
        ASSERT_TRUE(answer && *answer != 0) << "preview " << i;
    }
    ASSERT_TRUE(WaitUntil([&] { return pv::Previews(instance.process.pid).size() == 100; }, 10000));

    // The 101st: an error box owned by the main window, then the answer 0.
    pv::AsyncHandOff refused(instance.main, source.hwnd, Area(source, 100));
    auto box = WaitMessageBox(instance.process.pid);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Error");
    EXPECT_EQ(box->text, kLimitText);
    EXPECT_EQ(box->owner, instance.main);
    DismissMessageBox(*box);
    auto answer = refused.Answer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, 0);
    EXPECT_EQ(pv::Previews(instance.process.pid).size(), 100u);
    EXPECT_TRUE(instance.process.Running());
}

TEST_F(PreviewTest, CompositionTurnedOffClosesEveryPreviewWithOneWarning) {
    CompositionGuard restore;
    pv::SetFlags(pv::kAddOnTop);
    pv::Fixture source = pv::StartFixture(203, 157, 600, 400);
    ASSERT_TRUE(source.hwnd);
    pv::Instance instance = pv::StartInstance();
    ASSERT_TRUE(instance.main);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(pv::OpenByHandOff(instance, source.hwnd, Area(source, i)));

    ASSERT_TRUE(dwmrig::SetComposition(false));
    ASSERT_TRUE(WaitUntil([&] { return pv::Previews(instance.process.pid).empty(); }, 5000));
    auto box = WaitMessageBox(instance.process.pid);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, L"Lumetta");
    EXPECT_EQ(box->text, kCompositionText);
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_EQ(MessageBoxes(instance.process.pid).size(), 1u) << "one warning for all previews";
    DismissMessageBox(*box);

    // With no preview open the change itself says nothing; the next preview is refused.
    ASSERT_TRUE(dwmrig::SetComposition(true));
    ASSERT_TRUE(dwmrig::SetComposition(false));
    EXPECT_FALSE(WaitUntil([&] { return !MessageBoxes(instance.process.pid).empty(); }, 1000));
    pv::AsyncHandOff refused(instance.main, source.hwnd, Area(source, 3));
    box = WaitMessageBox(instance.process.pid);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kCompositionText);
    DismissMessageBox(*box);
    auto answer = refused.Answer();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, 0);

    // Back on: previews open again in the same instance.
    ASSERT_TRUE(dwmrig::SetComposition(true));
    EXPECT_TRUE(pv::OpenByHandOff(instance, source.hwnd, Area(source, 4)));
    EXPECT_TRUE(instance.process.Running());
}

} // namespace

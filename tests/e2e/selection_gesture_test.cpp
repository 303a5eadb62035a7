// The two ways to select, the 10-pixel rule, double-clicks, cancel and Enter, given as real
// pointer and key input. What the selection process hands over is read by a stand-in main window
// in this process; with none, whether anything was started is read from the process list.
#include "selection_support.h"

using namespace e2e;

namespace {

class SelectionGesture : public sel::SelectionTest {};

// The hand-off of one selection, checked as the record on the wire; the selection process must
// end cleanly after it.
void ExpectHandOff(const sel::FakeMainWindow& main, sel::Selection& s, const RECT& rect) {
    auto got = main.WaitHandOff();
    ASSERT_TRUE(got.has_value()) << "nothing was handed over";
    EXPECT_EQ(got->tag, ULONG_PTR{lumetta::HANDOFF_TAG});
    EXPECT_EQ(got->byteCount, 32u);
    EXPECT_EQ(got->size, 32u);
    EXPECT_EQ(got->version, 1u);
    EXPECT_EQ(got->source >> 32, 0u);
    EXPECT_TRUE(sel::SameRect(got->rect, rect))
        << "handed over " << sel::RectText(got->rect) << ", expected " << sel::RectText(rect);
    auto code = s.process.WaitExit();
    ASSERT_TRUE(code.has_value()) << "the selection process did not end";
    EXPECT_EQ(*code, 0u);
    EXPECT_EQ(main.HandOffs().size(), 1u);
    EXPECT_TRUE(main.InstanceCommands().empty()) << "an accepting main window was told to exit";
}

} // namespace

TEST_F(SelectionGesture, PressDragReleaseHandsOverTheArea) {
    struct Case {
        POINT from, to;
        RECT rect;
    } const cases[] = {
        {{200, 150}, {500, 400}, {200, 150, 500, 400}},
        {{900, 700}, {610, 420}, {610, 420, 900, 700}}, // dragged up and left
        {{1000, 100}, {1300, 90}, {1000, 90, 1300, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(sel::RectText(c.rect));
        sel::FakeMainWindow main;
        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window);
        sel::DragFromTo(c.from.x, c.from.y, c.to.x, c.to.y);
        ExpectHandOff(main, s, c.rect);
        // Nothing is under these points but the desktop.
        EXPECT_EQ(main.HandOffs().front().SourceWindow(), sel::ShellWindowOfRig());
    }
}

TEST_F(SelectionGesture, ClickMoveClickHandsOverTheArea) {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    sel::ClickAt(300, 300);
    for (int i = 1; i <= 3; ++i)
        MouseMove(300 + 40 * i, 300 + 20 * i);
    sel::PressAt(460, 380); // the second press finishes; its release comes after the window is gone
    sel::ReleaseAt(460, 380);
    ExpectHandOff(main, s, RECT{300, 300, 460, 380});
}

// A release less than 10 pixels from the anchor on both axes is a click: the drag goes on, and a
// later press finishes it. At 10 pixels on either axis the release finishes.
TEST_F(SelectionGesture, TenPixelRule) {
    struct Case {
        POINT release;
        bool finishes;
    } const cases[] = {
        {{409, 409}, false}, {{391, 391}, false}, {{409, 391}, false}, {{410, 400}, true},
        {{400, 410}, true},  {{390, 409}, true},  {{391, 390}, true},
    };
    const POINT anchor{400, 400}, later{700, 600};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "release at " << c.release.x << ", " << c.release.y);
        sel::FakeMainWindow main;
        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window);
        sel::PressAt(anchor.x, anchor.y);
        sel::ReleaseAt(c.release.x, c.release.y);
        if (c.finishes) {
            ExpectHandOff(main, s,
                          RECT{std::min(anchor.x, c.release.x), std::min(anchor.y, c.release.y),
                               std::max(anchor.x, c.release.x), std::max(anchor.y, c.release.y)});
        } else {
            sel::ClickAt(later.x, later.y);
            ExpectHandOff(main, s, RECT{anchor.x, anchor.y, later.x, later.y});
        }
    }
}

// The second press of a double-click arrives as WM_LBUTTONDBLCLK and is ignored; its release is a
// click under the 10-pixel rule. The drag goes on until a later press.
TEST_F(SelectionGesture, DoubleClickDoesNotFinish) {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    sel::ClickAt(500, 300);
    sel::ClickAt(500, 300);
    MouseMove(650, 420);
    MouseMove(700, 450);
    sel::ClickAt(700, 450);
    ExpectHandOff(main, s, RECT{500, 300, 700, 450});
}

// A second press on the anchor itself finishes too: the area handed over is empty.
TEST_F(SelectionGesture, SecondPressOnTheAnchorHandsOverAnEmptyArea) {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    sel::ClickAt(520, 333);
    sel::WaitOutDoubleClickTime();
    sel::ClickAt(520, 333);
    ExpectHandOff(main, s, RECT{520, 333, 520, 333});
}

// A right-button release cancels, during a drag or before one, and so does Escape. Nothing is
// sent to a running main window, and with none running nothing is started.
TEST_F(SelectionGesture, RightButtonAndEscapeCancel) {
    enum class Way { RightButton, Escape };
    struct Case {
        const char* what;
        Way way;
        bool dragging;
        bool mainRunning;
    } const cases[] = {
        {"right button, idle, no main", Way::RightButton, false, false},
        {"right button, dragging, no main", Way::RightButton, true, false},
        {"Escape, idle, no main", Way::Escape, false, false},
        {"Escape, dragging, no main", Way::Escape, true, false},
        {"right button, dragging, main", Way::RightButton, true, true},
        {"Escape, dragging, main", Way::Escape, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<sel::FakeMainWindow> main;
        if (c.mainRunning) main.emplace();
        sel::Selection s = sel::StartSelection();
        ASSERT_TRUE(s.window);
        MouseMove(600, 300);
        if (c.dragging) {
            sel::PressAt(600, 300);
            MouseMove(800, 500);
        }
        if (c.way == Way::RightButton) {
            MouseDown(3);
            MouseUp(3);
        } else {
            sel::FocusSelection(s.window);
            KeyPress(VK_ESCAPE);
        }
        auto code = s.process.WaitExit();
        if (c.dragging) sel::ReleaseAt(800, 500);
        ASSERT_TRUE(code.has_value()) << "the selection did not end";
        EXPECT_EQ(*code, 0u);
        EXPECT_FALSE(IsWindow(s.window));
        // The hand-off runs before the process ends: anything it sent or started is visible now.
        if (main) {
            EXPECT_TRUE(main->HandOffs().empty());
            EXPECT_TRUE(main->InstanceCommands().empty());
        }
        EXPECT_TRUE(sel::LumettaProcesses().empty()) << "a cancelled selection started something";
        EXPECT_TRUE(FindTopLevel(lumetta::MAIN_WINDOW_CLASS, lumetta::APP_TITLE, 0).size() ==
                    (c.mainRunning ? 1u : 0u));
    }
}

// Enter is bound to a command the selection window ignores: neither before nor during a drag
// does it finish or cancel anything.
TEST_F(SelectionGesture, EnterDoesNothing) {
    sel::FakeMainWindow main;
    sel::Selection s = sel::StartSelection();
    ASSERT_TRUE(s.window);
    sel::FocusSelection(s.window);
    MouseMove(250, 250);
    KeyPress(VK_RETURN);
    sel::PressAt(250, 250);
    MouseMove(400, 350);
    KeyPress(VK_RETURN);
    sel::ReleaseAt(450, 380);
    ExpectHandOff(main, s, RECT{250, 250, 450, 380});
}

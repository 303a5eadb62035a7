// The ways to select and to cancel, given as real pointer and key input to a selection process.
// What it hands over is read by a stand-in main window in this process; without one, whether
// anything was started is read from the process list. The rule's every edge is a unit table's.
#include <cstdio>

#include "e2e.h"

using namespace e2e;

namespace {

using SelectionGesture = E2eTest;

// What the user does, as "op x,y" steps: p press, r release, c click, m move (left button),
// R right click, k press key x.
void Do(const char* steps) {
    char op = 0;
    int x = 0, y = 0, used = 0;
    for (; std::sscanf(steps, " %c%d,%d%n", &op, &x, &y, &used) == 3; steps += used) {
        switch (op) {
        case 'p': PressAt(x, y); break;
        case 'r': ReleaseAt(x, y); break;
        case 'c': Click(x, y); break;
        case 'm': MouseMove(x, y); break;
        case 'R': Click(x, y, 3); break;
        default: KeyPress(WORD(x)); break;
        }
    }
}

struct Case {
    const char* what;
    const char* steps;
    std::optional<RECT> handedOver; // none: the selection is cancelled
    bool mainRunning = true;
};

} // namespace

TEST_F(SelectionGesture, SelectAndCancel) {
    const Case cases[] = {
        {"press, drag up and left, release", "p900,700 m750,560 r610,420",
         RECT{610, 420, 900, 700}},
        {"click, move, click", "c300,300 m380,340 c460,380", RECT{300, 300, 460, 380}},
        {"a release 9 pixels from the anchor is a click", "p400,400 r409,391 c700,600",
         RECT{400, 400, 700, 600}},
        // The second press arrives as WM_LBUTTONDBLCLK and is ignored; its release is a click.
        {"a double-click does not finish", "c500,300 c500,300 m650,420 c700,450",
         RECT{500, 300, 700, 450}},
        // Enter is bound to a command the selection window ignores.
        {"Enter does nothing, before or during a drag",
         "m250,250 k13,0 p250,250 m400,350 k13,0 r450,380", RECT{250, 250, 450, 380}},
        {"the right button before a drag, no main instance", "R600,300", std::nullopt, false},
        {"the right button during a drag", "p600,300 m800,500 R800,500", std::nullopt},
        {"Escape during a drag, no main instance", "p600,300 m800,500 k27,0", std::nullopt, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<FakeMainWindow> main;
        if (c.mainRunning) main.emplace();
        Selection s = StartSelection();
        Do(c.steps);
        const auto code = s.process.WaitExit();
        if (!c.handedOver) MouseUp(); // a cancelled drag leaves the button down
        ASSERT_TRUE(code) << "the selection did not end";
        EXPECT_EQ(*code, 0u);
        EXPECT_FALSE(IsWindow(s.window));
        if (main) {
            // The hand-off runs before the process ends: anything it sent is here now.
            ASSERT_EQ(main->handOffs.size(), c.handedOver ? 1u : 0u);
            if (c.handedOver) {
                EXPECT_EQ(main->handOffs[0].rect, *c.handedOver);
                // Nothing is under these points but the desktop.
                EXPECT_EQ(main->handOffs[0].source, ShellWindow());
            }
            EXPECT_TRUE(main->instanceCommands.empty()) << "the main window was told to exit";
        }
        EXPECT_TRUE(LumettaProcesses().empty()) << "the selection started something";
    }
}

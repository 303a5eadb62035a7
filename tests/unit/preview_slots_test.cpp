#include "app/preview_slots.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace lumetta;

namespace {

SlotStates Open(std::initializer_list<int> slots) {
    SlotStates states{};
    for (int s : slots)
        states[static_cast<size_t>(s)] = true;
    return states;
}

SlotStates AllOpen() {
    SlotStates states{};
    states.fill(true);
    return states;
}

} // namespace

TEST(ChooseSlot, AddingTakesTheFirstFreeSlot) {
    struct Case {
        SlotStates open;
        int slot;
    } cases[] = {
        {Open({}), 0},
        {Open({0, 1, 3}), 2},
        {Open({1, 2}), 0},
    };
    for (const auto& c : cases) {
        SlotChoice choice = ChooseSlot(c.open, true);
        EXPECT_EQ(choice.slot, c.slot);
        EXPECT_FALSE(choice.limitReached);
    }
    SlotStates onlyLastFree = AllOpen();
    onlyLastFree[99] = false;
    EXPECT_EQ(ChooseSlot(onlyLastFree, true).slot, 99);
}

TEST(ChooseSlot, AddingStopsAtTheLimit) {
    SlotChoice choice = ChooseSlot(AllOpen(), true);
    EXPECT_TRUE(choice.limitReached);
    EXPECT_EQ(choice.slot, -1);
}

TEST(ChooseSlot, ReplacingTakesTheOpenPreviewsSlot) {
    struct Case {
        SlotStates open;
        int slot;
    } cases[] = {
        {Open({}), 0},     // none open: slot 0
        {Open({7}), 7},    // the one preview is replaced where it is
        {Open({0}), 0},    // slot 0, open
        {Open({0, 5}), 5}, // slots from 1 up come first
        {Open({99}), 99},
    };
    for (const auto& c : cases) {
        SlotChoice choice = ChooseSlot(c.open, false);
        EXPECT_EQ(choice.slot, c.slot);
        EXPECT_FALSE(choice.limitReached);
    }
    // Replacing never reaches a limit, even with every slot open.
    EXPECT_FALSE(ChooseSlot(AllOpen(), false).limitReached);
}

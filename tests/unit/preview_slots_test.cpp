#include "app/preview_slots.h"

#include "tests/unit/printers.h"

using namespace lumetta;

// Adding takes the first free slot; replacing takes the first open slot from 1 up, else slot 0.
TEST(ChooseSlot, AddingTakesAFreeSlotAndReplacingTheOpenOne) {
    // adding (multiple previews), the open slots, the slot chosen
    const std::tuple<bool, std::vector<size_t>, int> cases[] = {
        {true, {}, 0},   {true, {0, 1, 3}, 2}, {false, {}, 0},    {false, {7}, 7},
        {false, {0}, 0}, {false, {0, 5}, 5},   {false, {99}, 99},
    };
    for (const auto& [adding, open, slot] : cases) {
        SlotStates states{};
        for (size_t s : open)
            states[s] = true;
        const SlotChoice choice = ChooseSlot(states, adding);
        EXPECT_EQ(choice.slot, slot) << (adding ? "adding" : "replacing");
        EXPECT_FALSE(choice.limitReached);
    }
    SlotStates all{};
    all.fill(true);
    EXPECT_FALSE(ChooseSlot(all, false).limitReached);
    const SlotChoice full = ChooseSlot(all, true);
    EXPECT_TRUE(full.limitReached);
    EXPECT_EQ(full.slot, -1);
    all[99] = false;
    EXPECT_EQ(ChooseSlot(all, true).slot, 99);
}

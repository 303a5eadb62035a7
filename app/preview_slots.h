// Which of the 100 preview slots a new preview goes into.
#pragma once

#include <array>

#include "app/base/constants.h"

namespace lumetta {

using SlotStates = std::array<bool, MAX_PREVIEWS>; // true: the slot holds an open preview

struct SlotChoice {
    int slot = -1;             // the slot to build the preview in; -1 when none
    bool limitReached = false; // every slot is open and previews are added, not replaced
};

// Adding (multiple previews): the first slot that is not open, or the limit. Replacing: the first
// open slot from 1 up, else slot 0, so the one preview there is always the one replaced.
SlotChoice ChooseSlot(const SlotStates& open, bool multiplePreviews);

} // namespace lumetta

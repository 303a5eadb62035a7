#include "app/preview_slots.h"

namespace lumetta {

SlotChoice ChooseSlot(const SlotStates& open, bool multiplePreviews) {
    SlotChoice choice;
    if (multiplePreviews) {
        for (size_t i = 0; i < open.size(); ++i) {
            if (!open[i]) {
                choice.slot = static_cast<int>(i);
                return choice;
            }
        }
        choice.limitReached = true;
        return choice;
    }
    choice.slot = 0;
    for (size_t i = 1; i < open.size(); ++i) {
        if (open[i]) {
            choice.slot = static_cast<int>(i);
            break;
        }
    }
    return choice;
}

} // namespace lumetta

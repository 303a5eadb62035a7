// The preview's context menu, as it is built each time it opens. Pure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumetta {

struct PreviewMenuItem {
    uint32_t id = 0;      // the command; 0 for a separator
    uint32_t labelId = 0; // the string of its label
};

constexpr size_t PREVIEW_MENU_ITEMS = 14;

struct PreviewMenu {
    PreviewMenuItem items[PREVIEW_MENU_ITEMS]{};
    size_t count = 0;
    uint32_t defaultId = 0; // shown bold: what a double-click does
};

// Item 5 reads "Restore Preview" while maximized (its command stays Maximize); "Close All" is
// there only while several previews may be open.
PreviewMenu BuildPreviewMenu(bool maximized, bool multiplePreviews, uint32_t dblAction);

} // namespace lumetta

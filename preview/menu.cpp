#include "preview/menu.h"

#include "res/resource.h"

namespace lumetta {
namespace {

void Add(PreviewMenu* menu, uint32_t id, uint32_t labelId) {
    menu->items[menu->count++] = PreviewMenuItem{id, labelId};
}

void Add(PreviewMenu* menu, uint32_t id) {
    Add(menu, id, id);
}

void AddSeparator(PreviewMenu* menu) {
    Add(menu, 0, 0);
}

} // namespace

PreviewMenu BuildPreviewMenu(bool maximized, bool multiplePreviews, uint32_t dblAction) {
    PreviewMenu menu;
    Add(&menu, IDM_NEW_PREVIEW);
    AddSeparator(&menu);
    Add(&menu, IDM_BRING_TO_FRONT);
    AddSeparator(&menu);
    Add(&menu, IDM_MAXIMIZE, maximized ? IDM_RESTORE : IDM_MAXIMIZE);
    AddSeparator(&menu);
    Add(&menu, IDM_ZOOM_IN);
    Add(&menu, IDM_ZOOM_OUT);
    Add(&menu, IDM_ACTUAL_SIZE);
    AddSeparator(&menu);
    Add(&menu, IDM_OPTIONS);
    AddSeparator(&menu);
    Add(&menu, IDM_CLOSE_PREVIEW);
    if (multiplePreviews) Add(&menu, IDM_CLOSE_ALL);
    menu.defaultId = dblAction;
    return menu;
}

} // namespace lumetta

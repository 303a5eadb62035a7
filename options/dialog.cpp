#include "options/dialog.h"

#include "res/resource.h"

namespace lumetta {

const ComboItem DBLCLICK_ACTION_ITEMS[4] = {{IDM_NEW_PREVIEW, IDM_NEW_PREVIEW},
                                            {IDM_BRING_TO_FRONT, IDM_BRING_TO_FRONT},
                                            {IDM_MAXIMIZE, IDM_MAXIMIZE},
                                            {IDM_CLOSE_PREVIEW, IDM_CLOSE_PREVIEW}};
const ComboItem NEW_PREVIEW_ACTION_ITEMS[2] = {{IDS_MULTIPLE_PREVIEWS, SETTINGS_MULTIPLE_PREVIEWS},
                                               {IDS_REPLACE_PREVIEW, 0}};

namespace {

bool IsOfferedDblAction(uint32_t command) {
    for (const ComboItem& item : DBLCLICK_ACTION_ITEMS) {
        if (item.value == command) return true;
    }
    return false;
}

} // namespace

GeneralControls ControlsFromSettings(const Settings& settings) {
    GeneralControls controls;
    controls.silentMode = (settings.flags & SETTINGS_SILENT_MODE) != 0;
    controls.keepOnTop = (settings.flags & SETTINGS_KEEP_ON_TOP) != 0;
    controls.taskbarButtons = (settings.flags & SETTINGS_TASKBAR_BUTTONS) != 0;
    controls.newPreviewAction = settings.flags & SETTINGS_MULTIPLE_PREVIEWS;
    controls.dblClickAction =
        IsOfferedDblAction(settings.dblAction) ? settings.dblAction : SETTINGS_DEFAULT_DBL_ACTION;
    return controls;
}

Settings SettingsFromControls(const GeneralControls& controls) {
    Settings settings;
    settings.flags = 0;
    if (controls.silentMode) settings.flags |= SETTINGS_SILENT_MODE;
    if (controls.keepOnTop) settings.flags |= SETTINGS_KEEP_ON_TOP;
    if (controls.taskbarButtons) settings.flags |= SETTINGS_TASKBAR_BUTTONS;
    if (controls.newPreviewAction == SETTINGS_MULTIPLE_PREVIEWS) {
        settings.flags |= SETTINGS_MULTIPLE_PREVIEWS;
    }
    const uint32_t action = controls.dblClickAction.value_or(SETTINGS_DEFAULT_DBL_ACTION);
    settings.dblAction = IsOfferedDblAction(action) ? action : SETTINGS_DEFAULT_DBL_ACTION;
    return settings;
}

Point PageFitGrowth(Point pageSize, const Rect& displayArea) {
    return Point{ClampToInt32(pageSize.x - RectWidth(displayArea)),
                 ClampToInt32(pageSize.y - RectHeight(displayArea))};
}

ButtonPlaces LayOutButtons(Point clientSize, Point margin, Point okSize, Point cancelSize) {
    ButtonPlaces places;
    places.cancel = Point{ClampToInt32(int64_t{clientSize.x} - margin.x - cancelSize.x),
                          ClampToInt32(int64_t{clientSize.y} - margin.y - cancelSize.y)};
    places.ok =
        Point{ClampToInt32(int64_t{places.cancel.x} - margin.x / 2 - okSize.x), places.cancel.y};
    return places;
}

int32_t TitleFontHeight(int32_t baseHeight) {
    return ClampToInt32(baseHeight + (int64_t{3} * baseHeight) / 4);
}

int32_t IconBoxSide(int32_t widthPixels) {
    return widthPixels > 0 ? widthPixels - widthPixels % 8 : 0;
}

uint32_t LinkColour(uint32_t windowText, uint32_t grayText) {
    return windowText != 0 ? grayText : LINK_COLOUR_ON_BLACK_TEXT;
}

bool IsLinkClick(bool pressed, Point release, const Rect& linkWindow) {
    return pressed && release.x >= linkWindow.left && release.x < linkWindow.right &&
           release.y >= linkWindow.top && release.y < linkWindow.bottom;
}

} // namespace lumetta

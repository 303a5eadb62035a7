// What the Options dialog computes without the system: the controls' state from the settings and
// back, the combo boxes' items, where the page and the buttons go, the About page's title font and
// icon box, and the links' colour and click rule. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/base/geometry.h"
#include "app/base/settings.h"

namespace lumetta {

// An item of one of the page's combo boxes: the string of its text and its item value.
struct ComboItem {
    uint32_t textId = 0;
    uint32_t value = 0;
};

// The double-click commands offered, and the two "New Preview" modes (the value is the
// MultiplePreviews bit it stands for).
extern const ComboItem DBLCLICK_ACTION_ITEMS[4];
extern const ComboItem NEW_PREVIEW_ACTION_ITEMS[2];

// What the Options page's controls show. A combo box's value is that of its selected item; none
// when nothing is selected or the item cannot be read.
struct GeneralControls {
    bool silentMode = false;
    bool keepOnTop = false;
    bool taskbarButtons = false;
    std::optional<uint32_t> newPreviewAction;
    std::optional<uint32_t> dblClickAction;
};

// The controls for the settings: a double-click command that is not offered shows as Maximize.
GeneralControls ControlsFromSettings(const Settings& settings);
// The settings the controls stand for. Flags are rebuilt from nothing, so bits without a control
// are dropped; no selection means "Replace existing preview" and Maximize.
Settings SettingsFromControls(const GeneralControls& controls);

// How much the dialog and its tab control must grow, (dx, dy), so that the tab's display area is
// the page's size; (0, 0) when it is already.
Point PageFitGrowth(Point pageSize, const Rect& displayArea);

// The top-left corners of OK and Cancel in a client area of the given size: Cancel's bottom-right
// corner a margin from the client's, OK level with it and half a margin to its left.
struct ButtonPlaces {
    Point ok;
    Point cancel;
};
ButtonPlaces LayOutButtons(Point clientSize, Point margin, Point okSize, Point cancelSize);

// The About title's font height from the page font's: 1.75 times, truncated toward zero.
int32_t TitleFontHeight(int32_t baseHeight);
// The side of the About icon's square box: the pixels of its width rounded down to a multiple of 8.
int32_t IconBoxSide(int32_t widthPixels);

// A link's colour (COLORREF) from the system's window-text and grey-text colours: grey text where
// window text is not black (a high-contrast theme), else a fixed mid grey.
constexpr uint32_t LINK_COLOUR_ON_BLACK_TEXT = 0x747474;
uint32_t LinkColour(uint32_t windowText, uint32_t grayText);

// A release ends a click on a link only when the press was on it and the release point (screen
// coordinates) is inside its window rectangle.
bool IsLinkClick(bool pressed, Point release, const Rect& linkWindow);

} // namespace lumetta

// Constants of the settings store and the autostart entry (where they live in the registry), of
// the Options dialog and of its links.
#pragma once

#include <cstdint>

namespace lumetta {

// Under HKEY_CURRENT_USER.
constexpr wchar_t SETTINGS_KEY_PATH[] = L"Software\\Corvel\\Lumetta";
constexpr wchar_t SETTINGS_VALUE_FLAGS[] = L"Flags";
constexpr wchar_t SETTINGS_VALUE_DBL_ACTION[] = L"DblAction";
constexpr wchar_t RUN_KEY_PATH[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t AUTOSTART_VALUE_NAME[] = L"Lumetta";
constexpr wchar_t AUTOSTART_SWITCH[] = L"/startup";

// The autostart command is built in a buffer of AUTOSTART_BUFFER_UNITS UTF-16 units; the
// program path goes in from unit 1 with room for AUTOSTART_PATH_CAPACITY units, which leaves
// space for the closing quote, the blank and the switch.
constexpr uint32_t AUTOSTART_BUFFER_UNITS = 1024;
constexpr uint32_t AUTOSTART_PATH_CAPACITY = 1008;

// The notification a link sends its parent in WM_COMMAND when it is clicked.
constexpr uint16_t HLN_CLICKED = 1092;
static_assert(HLN_CLICKED == 0x444);

// Link options: the link is sized to its text (the only one the program sets).
constexpr uint32_t HYPERLINK_AUTO_SIZE = 0x40;

// A link's text is read into this many units, the terminator included.
constexpr int HYPERLINK_TEXT_UNITS = 260;
// The combo boxes' item texts are loaded into this many units.
constexpr int COMBO_TEXT_UNITS = 128;
// The combo boxes' empty image lists make their items this many pixels high.
constexpr int COMBO_ITEM_HEIGHT = 18;
// The About page's icon is loaded at this size and drawn in a smaller box.
constexpr int ABOUT_ICON_PIXELS = 256;

// Sizes in dialog units: the tabs' padding, the buttons' margin from the client's corner, the
// width of the About icon's box.
constexpr int TAB_PADDING_DLU_X = 8;
constexpr int TAB_PADDING_DLU_Y = 2;
constexpr int BUTTON_MARGIN_DLU_X = 5;
constexpr int BUTTON_MARGIN_DLU_Y = 4;
constexpr int ABOUT_ICON_BOX_DLU = 34;

} // namespace lumetta

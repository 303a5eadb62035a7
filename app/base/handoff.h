// HandOffRecord: the 32-byte little-endian record that carries a source window and a screen
// rectangle to the main window in a WM_COPYDATA, and the main window's checks of what arrives.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/base/constants.h"
#include "app/base/geometry.h"

namespace lumetta {

struct HandOffRecord {
    uint32_t size = HANDOFF_RECORD_SIZE;
    uint32_t version = HANDOFF_RECORD_VERSION;
    uint64_t sourceWindow = 0; // window handle, zero-extended from 32 bits
    Rect rect = {};            // screen coordinates
};

using HandOffBytes = std::array<uint8_t, HANDOFF_RECORD_SIZE>;

// A record of the current size and version for a window handle's 32 bits and a rectangle.
HandOffRecord MakeHandOffRecord(uint32_t sourceWindow, const Rect& rect);

// Offsets 0 size, 4 version, 8 source window, 16 left, 20 top, 24 right, 28 bottom.
HandOffBytes EncodeHandOffRecord(const HandOffRecord& record);

// The receiver's acceptance of a WM_COPYDATA (its COPYDATASTRUCT's dwData, cbData and lpData):
// the hand-off tag, 32 bytes of data, size field 32, version 1, and a non-zero source window
// whose upper 32 bits are 0. Anything else is not a hand-off and yields nothing.
std::optional<HandOffRecord> AcceptHandOff(uint64_t tag, uint32_t byteCount, const void* data);

// The rectangle a hand-off opens: the record's rectangle clipped to the virtual screen given by
// the system metrics of its origin and size, both normalised first. Nothing when either is
// empty or they do not overlap.
std::optional<Rect> ClipToVirtualScreen(const Rect& rect, int32_t screenX, int32_t screenY,
                                        int32_t screenWidth, int32_t screenHeight);

} // namespace lumetta

// The fake shell's picture: the fixture's formula over screen coordinates with a fixed blue, so
// a screenshot pixel of the desktop tells the screen position it came from.
#pragma once

#include <cstdint>

#include "tools/fixture/pattern.h"

namespace rig {

inline constexpr uint8_t SHELL_PATTERN_BLUE = 0x40;

// Screen pixel (x, y) of the shell window: R = x & 255, G = y & 255, B = 0x40.
constexpr Rgb ExpectedShellPixel(int32_t screenX, int32_t screenY) {
    return ExpectedFixturePixel(screenX, screenY, SHELL_PATTERN_BLUE);
}

} // namespace rig

// Rectangles as tests compare and print them, and the screen's own.
#pragma once

#include "rig.h"

#include <ostream>

// In the global namespace, beside RECT itself, so that EXPECT_EQ finds them.
bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* out); // (left, top, right, bottom)

namespace e2e {

std::wstring RectArgs(const RECT& r); // "left top right bottom", as the command line takes it
RECT PrimaryWorkArea();

} // namespace e2e

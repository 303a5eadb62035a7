// Screenshots of the composited screen as a person sees it, and what their pixels should be: the
// fake shell's and the fixture's known pictures, the selection window's dim, band and hint.
#pragma once

#include "rig.h"

#include "tools/fixture/pattern.h"

namespace e2e {

struct Screenshot {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // 3 bytes a pixel, rows top-down
    std::string pngPath;      // Unix path of the PNG kept for a person
    bool Valid() const { return width > 0 && height > 0; }
    rig::Rgb Pixel(int x, int y) const; // black outside the picture
};

// Takes a screenshot and keeps it as LUMETTA_SHOTS/<name>.png (a repeated name gets a number).
Screenshot TakeScreenshot(const std::string& name);
void DiscardScreenshot(const Screenshot& shot);
// Takes screenshots until one shows what shows() looks for (the compositor shows a frame a little
// after the program pushed it), discarding the others; the last one either way.
Screenshot ShotWhen(const std::string& name, const std::function<bool(const Screenshot&)>& shows,
                    DWORD timeoutMs = 15000);

// Compositors round differently: colours are compared a few levels apart.
bool Near(rig::Rgb a, rig::Rgb b, int tolerance = 3);
// The fake shell's pixel at a screen point seen through black of the given alpha.
rig::Rgb ShellThrough(int x, int y, uint8_t blackAlpha);

// The frame (blue) of a fixture whose client area begins at origin, when nine in ten samples
// inside area (screen coordinates) show exactly its pixels there (red and green tell which); at
// another zoom (percent), those from area's corner on scaled, give or take one for the scaler.
std::optional<uint8_t> ShownFixtureFrame(const Screenshot& shot, const RECT& area, POINT origin,
                                         int zoom = 100);

// Wine's tray window with an icon at its first place, where the shell's picture would be.
bool ShowsTrayIcon(const Screenshot& shot);

// The selection window: the hint's place (the primary work area's bottom strip), its pixels in a
// screenshot there (how many, and how far right and down they reach), and the samples outside
// skip that are not the shell seen through the dim.
RECT HintArea();
struct HintInk {
    int count = 0, right = -1, bottom = -1;
};
HintInk FindHintInk(const Screenshot& shot);
int DimMismatches(const Screenshot& shot, const RECT& skip);
// The selection window's dimmed screen with its hint and no band.
bool ShowsDimAndHint(const Screenshot& shot);

} // namespace e2e

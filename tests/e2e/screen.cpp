#include "screen.h"

#include <algorithm>
#include <cstdlib>
#include <cstdio>

#include "processes.h"
#include "select/constants.h"
#include "tools/fakeshell/shell_pattern.h"
#include "window.h"

namespace e2e {

rig::Rgb Screenshot::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

// A binary PPM as ImageMagick writes it: "P6\n<w> <h>\n255\n", then the pixels.
static bool ParsePpm(const std::string& bytes, Screenshot* shot) {
    int start = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d 255%n", &shot->width, &shot->height, &start) != 2 ||
        !start || shot->width <= 0 || shot->height <= 0 ||
        bytes.size() < size_t(start) + 1 + size_t(shot->width) * size_t(shot->height) * 3)
        return false;
    shot->rgb.assign(bytes.begin() + start + 1, bytes.end()); // after one white-space byte
    return true;
}

Screenshot TakeScreenshot(const std::string& name) {
    static int counter = 0;
    std::string base = Utf8(Env(L"LUMETTA_SHOTS_UNIX")) + "/" + name;
    if (GetFileAttributesW(WindowsPath(base + ".done").c_str()) != INVALID_FILE_ATTRIBUTES)
        base += "-" + std::to_string(++counter);
    // Wine starts a Unix program when asked to run one but cannot report its exit reliably, so
    // the script leaves BASE.done behind once both pictures are complete.
    std::wstring command = Env(L"LUMETTA_SHOT_CMD") + L" " + Wide(base);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &info);
    const lumetta::OwnedHandle process(info.hProcess), thread(info.hThread);
    const std::wstring done = WindowsPath(base + ".done"), ppm = WindowsPath(base + ".ppm");
    Screenshot shot;
    if (!started ||
        !WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   30000) ||
        !ParsePpm(ReadWholeFile(ppm).value_or(""), &shot))
        return Screenshot{};
    DeleteFileW(ppm.c_str()); // the PNG stays for people; the PPM only served the test
    shot.pngPath = base + ".png";
    return shot;
}

void DiscardScreenshot(const Screenshot& shot) {
    if (shot.pngPath.empty()) return;
    const std::string base = shot.pngPath.substr(0, shot.pngPath.size() - 4);
    DeleteFileW(WindowsPath(shot.pngPath).c_str());
    DeleteFileW(WindowsPath(base + ".done").c_str()); // the name is free again
}

Screenshot ShotWhen(const std::string& name, const std::function<bool(const Screenshot&)>& shows,
                    DWORD timeoutMs) {
    Screenshot shot;
    WaitUntil(
        [&] {
            DiscardScreenshot(shot);
            shot = TakeScreenshot(name);
            return shot.Valid() && shows(shot);
        },
        timeoutMs);
    return shot;
}

bool Near(rig::Rgb a, rig::Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

rig::Rgb ShellThrough(int x, int y, uint8_t blackAlpha) {
    return rig::CompositeOver({0, 0, 0}, blackAlpha, rig::ExpectedShellPixel(x, y));
}

std::optional<uint8_t> ShownFixtureFrame(const Screenshot& shot, const RECT& area, POINT origin,
                                         int zoom) {
    const auto within = [zoom](uint8_t got, uint8_t want) {
        return zoom == 100 ? got == want : std::abs(int8_t(got - want)) <= 1; // modulo 256
    };
    int matches = 0, samples = 0;
    for (LONG y = area.top + 3; y < area.bottom - 3; y += 23)
        for (LONG x = area.left + 3; x < area.right - 3; x += 29, ++samples) {
            const rig::Rgb seen = shot.Pixel(x, y);
            const rig::Rgb want = rig::ExpectedFixturePixel(
                area.left - origin.x + (x - area.left) * 100 / zoom,
                area.top - origin.y + (y - area.top) * 100 / zoom, seen.b);
            matches += within(seen.r, want.r) && within(seen.g, want.g);
        }
    if (samples == 0 || matches * 10 < samples * 9) return std::nullopt;
    return shot.Pixel(area.left + 3, area.top + 3).b;
}

bool ShowsTrayIcon(const Screenshot& shot) {
    const POINT icon = FirstTrayIcon();
    return TrayWindow() && shot.Pixel(icon.x, icon.y) != rig::ExpectedShellPixel(icon.x, icon.y);
}

RECT HintArea() {
    const RECT work = PrimaryWorkArea();
    return RECT{work.left, work.bottom - 120, work.right, work.bottom};
}

HintInk FindHintInk(const Screenshot& shot) {
    const RECT area = HintArea();
    HintInk ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            // Opaque grey 200: nothing else on the dimmed screen comes near it.
            const rig::Rgb c = shot.Pixel(x, y);
            if (c.r < 160 || c.g < 160 || c.b < 160) continue;
            ++ink.count;
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

int DimMismatches(const Screenshot& shot, const RECT& skip) {
    constexpr uint8_t dim = lumetta::SELECTION_DIM_PIXEL >> 24;
    int mismatches = 0;
    for (int y = 3; y < shot.height; y += 37)
        for (int x = 5; x < shot.width; x += 41)
            mismatches +=
                !PtInRect(&skip, POINT{x, y}) && !Near(shot.Pixel(x, y), ShellThrough(x, y, dim));
    return mismatches;
}

bool ShowsDimAndHint(const Screenshot& shot) {
    return DimMismatches(shot, HintArea()) == 0 && FindHintInk(shot).count > 500;
}

} // namespace e2e

// What the benchmarks on the rig's desktop share: medians, a process's CPU time read from outside,
// steady object counts, and the stand-in compositor's record from a point on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver.h"

namespace bench {

double Median(std::vector<double> values);

// User and system time, in milliseconds, of the Unix processes whose Windows command line starts
// with exe (Wine reports no times for other processes; the kernel keeps them in /proc).
double ProcessCpuMs(const std::string& exe);
inline double InstanceCpuMs() {
    return ProcessCpuMs(e2e::Utf8(e2e::LumettaExe()));
}

// A window's pixels as it has drawn them, frame included. Under the rig's compositing manager a
// window's device context gives its own pixels to any process, even where it is covered.
struct WindowPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top-down
};
WindowPicture PictureOf(HWND window);

// Counts taken a few times; the median, since the stand-in's drawing makes objects as it runs.
e2e::GuiCounts SteadyCounts(DWORD pid);

// The stand-in's record from a byte offset on: new lines only.
class RecordTail {
public:
    RecordTail();
    // Whether a line with fn has been added since the last Mark.
    bool Has(const char* fn) const;
    void Mark() { offset_ = Size(); }

private:
    LONGLONG Size() const;
    std::wstring path_;
    LONGLONG offset_ = 0;
};

// "name: before B, after A (xA/B)" for a count that must not grow.
void PrintCounts(const char* what, const e2e::GuiCounts& before, const e2e::GuiCounts& after);

} // namespace bench

// Benchmarks of the selection window's pixel work, each against a baseline in the same run:
// - FillRect32 over a 3840 × 2160 screen against memset of the same bytes;
// - the pixels a redraw writes and pushes during a drag against a full-screen push;
// - a preview's hover bar, 1920 pixels wide at 144 DPI, turned from key colours into
//   premultiplied alpha, against memset of the same bytes.
// At the end the figures are printed as ratios to their baselines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "overlay/layout.h"
#include "select/constants.h"
#include "select/screen_bitmap.h"
#include "select/selection.h"

namespace {

using lumetta::Point;
using lumetta::Rect;

constexpr int32_t kWidth = 3840;
constexpr int32_t kHeight = 2160;

lumetta::ScreenBitmap MakeScreen(std::vector<uint32_t>* memory) {
    memory->assign(size_t(kWidth) * size_t(kHeight), 0);
    return {reinterpret_cast<HBITMAP__*>(uintptr_t{1}), memory->data(), kWidth, kHeight};
}

void BM_Memset(benchmark::State& state) {
    std::vector<uint32_t> memory(size_t(kWidth) * size_t(kHeight));
    for (auto _ : state) {
        std::memset(memory.data(), 0x78, memory.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(memory.size()) * 4);
}
BENCHMARK(BM_Memset)->Unit(benchmark::kMicrosecond);

void BM_FillRect32Dim(benchmark::State& state) {
    std::vector<uint32_t> memory;
    lumetta::ScreenBitmap screen = MakeScreen(&memory);
    for (auto _ : state) {
        lumetta::FillRect32(&screen, lumetta::SELECTION_DIM_PIXEL, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(memory.size()) * 4);
}
BENCHMARK(BM_FillRect32Dim)->Unit(benchmark::kMicrosecond);

// Zero is written by clearing memory.
void BM_FillRect32Zero(benchmark::State& state) {
    std::vector<uint32_t> memory;
    lumetta::ScreenBitmap screen = MakeScreen(&memory);
    for (auto _ : state) {
        lumetta::FillRect32(&screen, 0, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(memory.size()) * 4);
}
BENCHMARK(BM_FillRect32Zero)->Unit(benchmark::kMicrosecond);

// A rectangle that is not whole rows: row by row.
void BM_FillRect32Inset(benchmark::State& state) {
    std::vector<uint32_t> memory;
    lumetta::ScreenBitmap screen = MakeScreen(&memory);
    const Rect inset{1, 0, kWidth - 1, kHeight};
    for (auto _ : state) {
        lumetta::FillRect32(&screen, lumetta::SELECTION_DIM_PIXEL, &inset);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kWidth - 2) * kHeight * 4);
}
BENCHMARK(BM_FillRect32Inset)->Unit(benchmark::kMicrosecond);

// A drag as a user makes it, one redraw per 32 ms timer tick: the pointer moves from (600, 400)
// to (2600, 1600) and back part of the way, 9 pixels a tick on the long axis. Counters: pixels
// the redraw wrote into the bitmap and pixels it pushed, per redraw, and the same as a share of a
// full-screen push.
std::vector<Point> DragPath() {
    std::vector<Point> path;
    const Point from{600, 400}, to{2600, 1600}, back{1800, 1100};
    auto walk = [&](Point a, Point b) {
        const int32_t steps = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)) / 9;
        for (int32_t i = 1; i <= steps; ++i)
            path.push_back({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
    };
    walk(from, to);
    walk(to, back);
    return path;
}

int64_t Area(const Rect& r) {
    return lumetta::IsRectEmpty(r) ? 0 : lumetta::RectWidth(r) * lumetta::RectHeight(r);
}

void BM_DragRedraw(benchmark::State& state) {
    std::vector<uint32_t> memory;
    const std::vector<Point> path = DragPath();
    int64_t redraws = 0, pushed = 0, written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        lumetta::SelectionWindow s{};
        s.size = {kWidth, kHeight};
        s.screen = MakeScreen(&memory);
        lumetta::FillRect32(&s.screen, lumetta::SELECTION_DIM_PIXEL, nullptr);
        s.hintRect = {0, kHeight - 70, kWidth - 6, kHeight};
        s.hintShown = 1;
        lumetta::ResetCorners(&s, s.size);
        lumetta::PressLeft(&s, path.front());
        state.ResumeTiming();
        for (const Point& p : path) {
            lumetta::TrackPointer(&s, p);
            const Rect band = lumetta::BandRect(s.anchor, s.current);
            const Rect shown = lumetta::BandRect(s.shownAnchor, s.shownCurrent);
            const bool hint = s.hintShown != 0;
            const lumetta::RedrawPlan plan = lumetta::PrepareRedraw(&s, false);
            s.redrawPending = 0;
            ++redraws;
            pushed += plan.wholeWindow ? int64_t(kWidth) * kHeight : Area(plan.dirty);
            written +=
                (hint ? Area(s.hintRect) : 0) + (band == shown ? 0 : Area(shown) + Area(band));
        }
        benchmark::DoNotOptimize(memory.data());
    }
    const double full = double(kWidth) * kHeight;
    state.counters["redraws"] = double(path.size());
    state.counters["pushed_px"] = double(pushed) / double(redraws);
    state.counters["written_px"] = double(written) / double(redraws);
    state.counters["pushed_share"] = double(pushed) / double(redraws) / full;
    state.counters["written_share"] = double(written) / double(redraws) / full;
}
BENCHMARK(BM_DragRedraw)->Unit(benchmark::kMicrosecond);

// The baseline of a redraw: the whole screen written and pushed, as without dirty rectangles.
void BM_FullScreenRedraw(benchmark::State& state) {
    std::vector<uint32_t> memory;
    lumetta::ScreenBitmap screen = MakeScreen(&memory);
    const size_t steps = DragPath().size();
    for (auto _ : state) {
        for (size_t i = 0; i < steps; ++i)
            lumetta::FillRect32(&screen, lumetta::SELECTION_DIM_PIXEL, nullptr);
        benchmark::ClobberMemory();
    }
    state.counters["pushed_px"] = double(kWidth) * kHeight;
}
BENCHMARK(BM_FullScreenRedraw)->Unit(benchmark::kMicrosecond);

// The bar as drawn: empty key around two black pills with white glyphs and a grey square.
std::vector<uint32_t> DrawnBar() {
    const lumetta::OverlayLayout bar = lumetta::LayoutOverlay(1920, 400, 144);
    std::vector<uint32_t> pixels(size_t(bar.barWidth) * size_t(bar.barHeight), 0xFF00FF);
    for (int32_t y = 0; y < bar.barHeight; ++y) {
        for (int32_t x = 0; x < bar.barWidth; ++x) {
            uint32_t& p = pixels[size_t(y) * size_t(bar.barWidth) + size_t(x)];
            const bool pill = x >= bar.groupRects[0].left && x < bar.groupRects[0].right;
            if (pill || (x >= bar.groupRects[1].left && x < bar.groupRects[1].right)) p = 0;
            if (pill && x < bar.buttonRects[0].right && x >= bar.buttonRects[0].left) p = 0x2A2A2A;
            if (pill && (x + y) % 9 == 0) p = 0xFFFFFF;
        }
    }
    return pixels;
}

void BM_MemsetBar(benchmark::State& state) {
    std::vector<uint32_t> pixels = DrawnBar();
    for (auto _ : state) {
        std::memset(pixels.data(), 0x78, pixels.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()) * 4);
}
BENCHMARK(BM_MemsetBar)->Unit(benchmark::kMicrosecond);

void BM_ConvertBar(benchmark::State& state) {
    // Converted pixels convert again to the same classes (clear becomes the bar), so the buffer
    // keeps a drawn bar's mix without being redrawn between rounds.
    std::vector<uint32_t> pixels = DrawnBar();
    for (auto _ : state) {
        lumetta::ConvertOverlayPixels(pixels.data(), pixels.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()) * 4);
}
BENCHMARK(BM_ConvertBar)->Unit(benchmark::kMicrosecond);

// Keeps each benchmark's time and counters for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            for (const auto& [name, counter] : run.counters)
                counters[run.benchmark_name() + "." + name] = counter.value;
        }
    }
    std::map<std::string, double> times;
    std::map<std::string, double> counters;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* what, const char* a, const char* b) {
        if (reporter.times.count(a) && reporter.times.count(b) && reporter.times[b] > 0)
            std::printf("%-48s %.3f\n", what, reporter.times[a] / reporter.times[b]);
    };
    std::printf("\nRatios (CPU time against the baseline of the same run)\n");
    ratio("FillRect32 dim, 3840x2160 / memset", "BM_FillRect32Dim", "BM_Memset");
    ratio("FillRect32 zero, 3840x2160 / memset", "BM_FillRect32Zero", "BM_Memset");
    ratio("FillRect32 inset rows / memset", "BM_FillRect32Inset", "BM_Memset");
    ratio("drag redraws / full-screen redraws", "BM_DragRedraw", "BM_FullScreenRedraw");
    ratio("hover bar conversion, 1920x57 / memset", "BM_ConvertBar", "BM_MemsetBar");
    const auto& c = reporter.counters;
    if (c.count("BM_DragRedraw.pushed_share")) {
        std::printf("%-48s %.4f\n", "pixels pushed per drag redraw / full screen",
                    c.at("BM_DragRedraw.pushed_share"));
        std::printf("%-48s %.4f\n", "pixels written per drag redraw / full screen",
                    c.at("BM_DragRedraw.written_share"));
    }
    benchmark::Shutdown();
    return 0;
}

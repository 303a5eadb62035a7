#!/usr/bin/env bash
# run.sh: builds and runs every benchmark and prints their figures, each a ratio against a
# baseline measured in the same run.
#   - host (bench preset, Google Benchmark): FillRect32 over 3840 x 2160 against memset, and the
#     pixels a drag redraws against full-screen pushes;
#   - on the rig's desktop (win64 preset): a messenger's start to its end and a main instance's
#     start to its main window against a trivial Win32 program's start and end; a selection process's start to its first frame against
#     a trivial Win32 program; previews' idle CPU, objects and memory per preview, and start to
#     first thumbnail, against the empty instance and a trivial program; handling a preview (key
#     to resized preview, CPU per resize step) against a plain window, and its objects after many
#     zoom, maximize and menu cycles; a preview's hover bar (pointer in to bar shown against a
#     trivial layered window, a redraw against a move that changes nothing, idle CPU with 100
#     previews against the empty instance); "Options..." to the dialog drawn against a trivial
#     dialog from a template, and the instance's objects after 200 openings; the stand-in compositor's
#     refresh against GDI's own copy, its CPU against idle, pictures against source frames.
#
#   bench/run.sh [IDLE_SECONDS] [ROUNDS] [CYCLES]
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
idle="${1:-10}"
rounds="${2:-15}"
cycles="${3:-1000}"
jobs="$(nproc)"

bash tools/setup.sh
mkdir -p build
for preset in bench win64; do
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 || { cat "build/$preset.configure.log"; exit 1; }
  fi
done
cmake --build build/bench -j "$jobs" --target select_bench >/dev/null
cmake --build build/win64 -j "$jobs" --target lumetta rig_dwmapi fakeshell fixture preview_bench \
  preview_interaction_bench overlay_bench preview_trivial startup_bench select_startup select_trivial \
  dwm_refresh_bench options_bench options_trivial >/dev/null

echo "== selection bitmap (host)"
build/bench/bench/select_bench --benchmark_counters_tabular=true
echo "== messenger and main instance start-up (rig)"
tools/desktop-run -- wine build/win64/bench/startup_bench.exe "$rounds"
echo "== selection start-up (rig)"
tools/desktop-run -- wine build/win64/bench/select_startup.exe "$rounds"
echo "== previews (rig)"
tools/desktop-run -- wine build/win64/bench/preview_bench.exe "$idle" "$rounds"
echo "== handling a preview (rig)"
tools/desktop-run -- wine build/win64/bench/preview_interaction_bench.exe "$cycles"
echo "== the hover bar (rig)"
tools/desktop-run -- wine build/win64/bench/overlay_bench.exe "$rounds" "$idle"
echo "== the Options dialog (rig)"
tools/desktop-run -- wine build/win64/bench/options_bench.exe 200 "$rounds"
echo "== stand-in compositor (rig)"
tools/desktop-run -- wine build/win64/rig/dwm_refresh_bench.exe

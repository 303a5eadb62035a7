#!/usr/bin/env bash
# run.sh [BUILD] [IDLE_SECONDS] [ROUNDS]: the preview benchmark on the rig's desktop. Builds
# bench/preview_bench_win.cpp (with the end-to-end driver) and the trivial baseline program into
# BUILD/bench with the 64-bit cross compiler, then runs it with the lumetta.exe, stand-in
# compositor and fixture of BUILD (a win64 build tree, default build/win64). Prints the figures.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$repo/build/win64}" && pwd)"
idle="${2:-10}"
rounds="${3:-15}"
out="$build/bench"
mkdir -p "$out"

cxx=x86_64-w64-mingw32-g++-posix
flags=(-std=c++17 -O2 -static -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX
       -D_WIN32_WINNT=0x0A00 -DWINVER=0x0A00 -Wall -Wextra -Wshadow -Werror
       -I"$repo" -I"$repo/tests/e2e" -isystem /usr/src/googletest/googletest/include)
"$cxx" "${flags[@]}" -municode -mwindows "$repo/bench/preview_trivial_win.cpp" \
  -o "$out/preview_trivial.exe"
"$cxx" "${flags[@]}" -municode -mconsole "$repo/bench/preview_bench_win.cpp" \
  "$repo/tests/e2e/driver.cpp" "$repo/app/handoff.cpp" "$repo/app/geometry.cpp" \
  -o "$out/preview_bench.exe" -lpsapi -lntdll

exec "$repo/tools/desktop-run" --build "$build" -- wine "$out/preview_bench.exe" "$idle" "$rounds"

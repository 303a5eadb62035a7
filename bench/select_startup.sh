#!/usr/bin/env bash
# select_startup.sh [BUILD] [ROUNDS]: start-up time of a selection process against a trivial Win32
# program. Builds the two Windows programs of the benchmark (bench/select_*_win.cpp) into
# BUILD/bench with the 64-bit cross compiler, then runs the measurer on the rig's desktop with the
# lumetta.exe of BUILD (a win64 build tree, default build/win64).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$repo/build/win64}" && pwd)"
rounds="${2:-20}"
out="$build/bench"
mkdir -p "$out"

cxx=x86_64-w64-mingw32-g++-posix
flags=(-std=c++17 -O2 -municode -static -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX
       -Wall -Wextra -Wshadow -Werror)
"$cxx" "${flags[@]}" -mwindows "$repo/bench/select_trivial_win.cpp" -o "$out/select_trivial.exe" -lgdi32
"$cxx" "${flags[@]}" -mconsole "$repo/bench/select_startup_win.cpp" -o "$out/select_startup.exe"

exec "$repo/tools/desktop-run" --build "$build" -- wine "$out/select_startup.exe" "$rounds"

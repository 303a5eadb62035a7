#!/usr/bin/env bash
# demo.sh: from a fresh Debian 12 machine to Lumetta at work, visibly.
# Installs what is missing, builds the 64-bit program and the rig, and runs the demo: a live source
# window, the main instance in the tray, a preview from the command line, the same source covered,
# the selection road from a double-click on the tray icon to a new preview, handling that preview
# and the Options dialog opened from its menu. On the X display
# in DISPLAY when there is one (each step stays on screen for a while), otherwise on a private
# virtual display. Screenshots of every step go to out/demo (or the folder given as argument).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
shots="${1:-$repo/out/demo}"

bash tools/setup.sh
if [ ! -f build/win64/build.ninja ]; then
  mkdir -p build
  cmake --preset win64 >build/win64.configure.log 2>&1 || { cat build/win64.configure.log; exit 1; }
fi
cmake --build build/win64 -j "$(nproc)" --target lumetta lumetta_demo fixture fakeshell rig_dwmapi >/dev/null

rm -rf "$shots"
mkdir -p "$shots"
runner=(tools/desktop-run --shots "$shots")
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  runner+=(--use-display)
  export LUMETTA_DEMO_LINGER_MS="${LUMETTA_DEMO_LINGER_MS:-3000}"
fi
status=0
"${runner[@]}" -- wine build/win64/rig/lumetta_demo.exe || status=$?
echo "demo: screenshots in $shots"
exit "$status"

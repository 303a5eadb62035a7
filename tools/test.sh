#!/usr/bin/env bash
# test.sh: everything from a fresh Debian 12 machine to a verdict.
# Installs what is missing, builds the host, fuzz, 64-bit and 32-bit builds, runs the host unit tests
# under sanitizers, the fuzzers for a bounded time, and the end-to-end tests of the real program
# under Wine (Windows 10, and Windows 7 where behaviour differs); then the release
# (tools/release.sh: both release builds checked in their headers, signed and packaged) and the
# install, upgrade and uninstall test of its installer under Wine. Prints one closing line
# "tests: N passed, N failed" that counts test cases: every GoogleTest case of the unit and
# end-to-end programs, and every fuzz target. A step that fails without a failed
# case of its own (a build, a crash, a time-out) counts as one failure more. Exits non-zero when
# anything failed.
#
#   tools/test.sh                 everything
#   FUZZ_SECONDS=5 tools/test.sh  shorter fuzzing
#   E2E_FILTER='Tray*' tools/test.sh  only some end-to-end tests (gtest filter; E2E_FILTER_WIN7 for
#                                     the Windows 7 run, which by default runs the suites named *Versions;
#                                     E2E_FILTER_DPI for the 144 DPI run, by default the suites named *Dpi)
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
jobs="${JOBS:-$(nproc)}"
fuzz_seconds="${FUZZ_SECONDS:-20}"
e2e_filter="${E2E_FILTER:-*}"
e2e_filter_win7="${E2E_FILTER_WIN7:-*Versions*}"
e2e_filter_dpi="${E2E_FILTER_DPI:-*Dpi*}"
passed=0
failed=0
failures=()

# Cases a step's output reports: GoogleTest's summary lines, and "check passed/failed:" lines.
count_cases() { # count_cases LOG -> "PASSED FAILED" (ctest -V puts "N: " before each line)
  sed -E 's/^[0-9]+: //' "$1" | awk '
       /^\[  PASSED  \] [0-9]+ test/ { p += $4 }
       /^\[  FAILED  \] [0-9]+ test/ { f += $4 }
       /^check passed: / { p++ } /^check failed: / { f++ }
       END { print p + 0, f + 0 }'
}

step() { # step NAME COMMAND...: runs one step, counts its cases, keeps going after a failure
  local name=$1; shift
  local start=$SECONDS log rc p f
  log=$(mktemp)
  echo "==> $name"
  "$@" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  read -r p f < <(count_cases "$log")
  rm -f "$log"
  if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then f=1; fi
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$rc" -eq 0 ]; then
    echo "<== $name: ok, $p passed ($((SECONDS - start)) s)"
  else
    failures+=("$name")
    echo "<== $name: FAILED, $p passed, $f failed ($((SECONDS - start)) s)"
  fi
}

build() { # build PRESET: configure once, then build
  local preset=$1
  if [ ! -f "build/$preset/build.ninja" ]; then
    cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 || { cat "build/$preset.configure.log"; return 1; }
  fi
  cmake --build "build/$preset" -j "$jobs"
}

bash tools/setup.sh || { echo "tests: 0 passed, 1 failed"; exit 1; }
mkdir -p build

step "build host" build host
step "build win64" build win64
step "build win32" build win32
step "build fuzz" build fuzz

# Verbose, so that each program's GoogleTest summary is counted; brief, so that only failures
# are printed in full.
step "unit tests (host, ASan+UBSan)" env GTEST_BRIEF=1 ctest --test-dir build/host -V -j "$jobs"
if [ -x tests/fuzz/run.sh ]; then
  step "fuzzers (${fuzz_seconds} s each)" tests/fuzz/run.sh "$fuzz_seconds" build/fuzz
fi

e2e=build/win64/rig/lumetta_e2e.exe
step "end-to-end, Windows 10" tools/desktop-run -- wine "$e2e" --gtest_filter="$e2e_filter"
# Suites whose behaviour depends on the Windows version are named *Versions and run on both.
step "end-to-end, Windows 7" tools/desktop-run --win7 -- wine "$e2e" \
  --gtest_filter="$e2e_filter_win7"
# Suites whose windows are laid out from the DPI are named *Dpi and run at 144 DPI too.
step "end-to-end, 144 DPI" tools/desktop-run --dpi 144 -- wine "$e2e" \
  --gtest_filter="$e2e_filter_dpi"

step "release (tools/release.sh)" tools/release.sh
# The same installer script built for amd64: this Wine runs no 32-bit programs.
step "install, upgrade and uninstall under Wine" tools/desktop-run -- tools/release/install_test.sh \
  build/release-stage/Lumetta-3.2-setup-amd64.exe build/release-stage/signing-ca.pem

echo
for f in "${failures[@]}"; do echo "failed: $f"; done
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

#!/usr/bin/env bash
# install_test.sh SETUP CA: installs, upgrades, repairs and uninstalls Lumetta with the installer
# SETUP in the fresh prefix of tools/desktop-run, and checks what a user and Windows would see:
# files, shortcut, uninstall entry, signatures (against the certificate CA), the running program.
#
#   tools/desktop-run -- tools/release/install_test.sh build/release-stage/Lumetta-3.2-setup-amd64.exe CA
# Prints "check passed: ..." or "check failed: ..." per check; exits 1 when one failed.
set -uo pipefail

setup=$1
ca=$2
rig="$(dirname "$0")/../../build/win64/rig"
folder="$WINEPREFIX/drive_c/Program Files/Lumetta"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Lumetta.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumetta'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Corvel\Lumetta'
failed=0

check() { # check NAME COMMAND...
  local name=$1; shift
  if "$@"; then echo "check passed: $name"; else echo "check failed: $name"; failed=1; fi
}
main_windows() { # main_windows COUNT: waits (15 s at most) for exactly COUNT; prints their pids
  wine "$rig/wincount.exe" Lumetta_MainWnd Lumetta "$1" 15000 | tr -d '\r' | cut -s -d' ' -f2-
}
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
installed() {
  [ -f "$folder/lumetta.exe" ] && [ -f "$folder/uninstall.exe" ] && [ -f "$shortcut" ] &&
    [ "$(reg_value "$entry" DisplayName)" = Lumetta ] && [ "$(reg_value "$entry" DisplayVersion)" = 3.2 ] &&
    [ "$(reg_value "$entry" Publisher)" = Corvel ] && [ -n "$(reg_value "$entry" DisplayIcon)" ] &&
    [ -n "$(reg_value "$entry" EstimatedSize)" ] &&
    [ "$(reg_value "$entry" UninstallString)" = "\"C:\\Program Files\\Lumetta\\uninstall.exe\"" ]
}
removed() { [ ! -e "$folder" ] && [ ! -e "$shortcut" ] && ! wine reg query "$entry" >/dev/null 2>&1; }
# The Unix process of the installed program in this prefix, as Wine shows its command line.
program_pid() {
  for p in $(pgrep -f 'Program Files.Lumetta.lumetta.exe'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
}
started_with_install() { tr '\0' ' ' <"/proc/$(program_pid | head -1)/cmdline" | grep -q -- '-install'; }
signed() { for f in "$@"; do osslsigncode verify -CAfile "$ca" -in "$f" >/dev/null 2>&1 || return 1; done; }
install() { timeout 120 wine "$setup" /S; }
# The uninstaller copies itself away and returns at once; the copy does the work.
uninstall() {
  local command
  command="$(reg_value "$entry" UninstallString)"
  eval "timeout 60 wine $command /S" || return 1
  for _ in $(seq 300); do removed && return 0; sleep 0.1; done # polls for up to 30 s
  return 1
}

# A fresh install: everything in place, the program started with -install as the logged-on user.
check "silent install into a fresh prefix" install
check "program, shortcut and uninstall entry in place" installed
first=$(main_windows 1)
check "the installed program runs (its main window)" [ -n "$first" ]
check "it was started with -install" started_with_install
check "the installed program is the uiAccess build" grep -q 'uiAccess="true"' "$folder/lumetta.exe"
check "program, uninstaller and installer signatures verify" \
  signed "$folder/lumetta.exe" "$folder/uninstall.exe" "$setup"

# Again over the running instance, with pieces missing: it ends the old instance, repairs, and
# leaves exactly one instance, a new one.
rm -f "$shortcut" "$folder/LICENSE.txt"
wine reg delete "$entry" /v DisplayVersion /f >/dev/null 2>&1
check "install over a running instance" install
check "a second install of the same version repairs" \
  eval 'installed && [ -f "$folder/LICENSE.txt" ]'
second=$(main_windows 1)
check "exactly one instance afterwards, not the old one" \
  eval '[ -n "$second" ] && [ "$second" != "$first" ]'

# An instance that does not answer (stopped with SIGSTOP, it handles no message) is
# ended by force after the wait, and the install completes.
hung=$(program_pid)
kill -STOP $hung
check "install while the instance hangs completes" install
third=$(main_windows 1)
check "one new instance after the hung one" eval '[ -n "$third" ] && [ "$third" != "$second" ]'
# A stopped process takes Wine's ending signal only once it runs on: let it.
kill -CONT $hung 2>/dev/null
check "the hung instance was ended" eval 'timeout 15 tail --pid=$hung -f /dev/null'

# The uninstall string with /S: ends the program, removes everything, the autostart value too,
# and keeps the settings.
wine reg add "$run_key" /v Lumetta /d '"C:\Program Files\Lumetta\lumetta.exe" /startup' /f >/dev/null
wine reg add "$settings_key" /v Flags /t REG_DWORD /d 5 /f >/dev/null
check "silent uninstall with the uninstall string" uninstall
check "files, shortcut and uninstall entry removed" removed
check "the program has ended" eval '[ "$(main_windows 0)" = "" ] && [ -z "$(program_pid)" ]'
check "the autostart value is gone" eval '[ -z "$(reg_value "$run_key" Lumetta)" ]'
check "the settings key is kept" eval '[ "$(reg_value "$settings_key" Flags)" = 0x5 ]'

# An uninstall with the program not running and no autostart value works as well.
install >/dev/null
wine "$folder/lumetta.exe" -exit
main_windows 0 >/dev/null
check "uninstall with the program ended and no autostart value" eval 'uninstall && removed'
exit $failed

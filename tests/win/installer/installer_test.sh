#!/usr/bin/env bash
# DovrelSetup.exe under Wine: silent install into the default folder
# (C:\Program Files\Dovrel, with a space), the programs of the prefix's
# architecture (WINEARCH=win32 stands in for 32-bit Windows) with
# Finwin.dll of the other one in its subfolder, Dovrel started from there
# and its Setting command opening Kalbrit on the installed Dovrel.ini,
# silent uninstall that ends Dovrel through Finwin, then a reinstall with
# autostart and an uninstall with /REMOVECONFIG.
# Usage: installer_test.sh DovrelSetup.exe winprobe.exe OBJDUMP
set -euo pipefail
setup="$1"
winprobe="$2"
objdump="$3"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
run() { bash "$root/scripts/wine-run.sh" "$@"; }

port=23010
# The default folder, whose name has a space. (A /D= with a space cannot be
# given through Wine, which quotes such an argument.)
dir_win='C:\Program Files\Dovrel'
dir="$WINEPREFIX/drive_c/Program Files/Dovrel"
settings_key='HKLM\Software\Orvanta\Quillmont\CurrentVersion'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dovrel'
dovrel_pid=""

fail() { echo "FAIL: $*" >&2; exit 1; }
pe_format() { "$objdump" -f "$1" | sed -n 's/.*file format //p'; }
if [ "${WINEARCH:-}" = win32 ]; then
    native=pei-i386 other=pei-x86-64 other_dir=x64
else
    native=pei-x86-64 other=pei-i386 other_dir=x86
fi
reg_value() { run reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }
wait_until() {  # seconds, command...: polls every 0.25 s
    local limit=$(( $1 * 4 )); shift
    for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.25; done
    return 1
}
gone() { [ ! -e "$1" ]; }
cleanup() {
    if [ -n "$dovrel_pid" ] && kill -0 "$dovrel_pid" 2>/dev/null; then run "$winprobe" post-destroy Dovrel.exe >/dev/null 2>&1 || true; fi
    if [ -e "$dir/Uninstall.exe" ]; then run "$dir_win\\Uninstall.exe" /S /REMOVECONFIG || true; wait_until 20 gone "$dir/Uninstall.exe" || true; fi
    rm -rf "$dir"
}
trap cleanup EXIT
cleanup
# No earlier install to update: the installer then takes the default folder.
for view in 32 64; do run reg delete "$settings_key" /v InstallPath /f /reg:$view >/dev/null 2>&1 || true; done

echo "== silent install into the default folder without autostart"
run "$setup" /S /NOAUTOSTART
for f in Dovrel.exe Finwin.dll Kalbrit.exe Dovrel.ini Uninstall.exe "$other_dir/Finwin.dll"; do
    [ -f "$dir/$f" ] || fail "$f not installed"
done
for f in Dovrel.exe Finwin.dll Kalbrit.exe; do
    [ "$(pe_format "$dir/$f")" = "$native" ] || fail "$f is $(pe_format "$dir/$f"), not $native"
done
[ "$(pe_format "$dir/$other_dir/Finwin.dll")" = "$other" ] || fail "$other_dir/Finwin.dll is not $other"
cmp -s "$dir/Dovrel.ini" "$root/installer/Dovrel.ini" || fail "installed Dovrel.ini differs from the default"
[ "$(reg_value "$settings_key" InstallPath)" = "$dir_win" ] || fail "InstallPath is '$(reg_value "$settings_key" InstallPath)'"
[ -z "$(reg_value "$run_key" Dovrel)" ] || fail "/NOAUTOSTART still wrote the Run value"
[ -n "$(reg_value "$uninstall_key" UninstallString)" ] || fail "no uninstall entry"

echo "== Dovrel from the install folder, on a test port"
sed -i "s/^port=162\r\$/port=$port\r/" "$dir/Dovrel.ini"
grep -q "^port=$port" "$dir/Dovrel.ini" || fail "could not set the test port"
run "$dir_win\\Dovrel.exe" &
dovrel_pid=$!
run "$winprobe" wait-title Dovrel.exe 30 || fail "Dovrel's main window did not appear"
wait_until 10 bash -c "ss -Hlun | grep -q ':$port '" || fail "Dovrel does not listen on UDP $port"

echo "== Setting opens Kalbrit on the installed Dovrel.ini"
kalbrit_title='Kalbrit - Dovrel trap settings'
run "$winprobe" post-command Dovrel.exe 40003
run "$winprobe" wait-title "$kalbrit_title" 20 || fail "Setting did not open Kalbrit"
shown="$(run "$winprobe" dialog-text "$kalbrit_title" 1012)"
[ "$shown" = "$dir_win\Dovrel.ini" ] || fail "Kalbrit edits '$shown', not '$dir_win\Dovrel.ini'"
[ "$(run "$winprobe" dialog-text "$kalbrit_title" 1003)" = "$port" ] || fail "Kalbrit does not show the installed port"
run "$winprobe" press "$kalbrit_title" 2
run "$winprobe" wait-gone "$kalbrit_title" 10 || fail "Kalbrit did not close"

echo "== silent uninstall ends Dovrel through Finwin and keeps the changed Dovrel.ini"
run "$dir_win\\Uninstall.exe" /S
wait_until 40 gone "$dir/Uninstall.exe" || fail "uninstaller did not finish"
wait_until 10 bash -c "! kill -0 $dovrel_pid 2>/dev/null" || fail "Dovrel still runs after the uninstall"
status=0
wait "$dovrel_pid" || status=$?
dovrel_pid=""
[ "$status" = 0 ] || fail "Dovrel ended with exit code $status"
[ "$(run "$winprobe" count-title Dovrel.exe | tr -d '\r')" = 0 ] || fail "a Dovrel.exe window is left"
for f in Dovrel.exe Finwin.dll Kalbrit.exe Uninstall.exe "$other_dir"; do
    [ ! -e "$dir/$f" ] || fail "$f left behind"
done
grep -q "^port=$port" "$dir/Dovrel.ini" || fail "the changed Dovrel.ini was removed"
[ -z "$(reg_value "$settings_key" InstallPath)" ] || fail "InstallPath left behind"
[ -z "$(reg_value "$uninstall_key" UninstallString)" ] || fail "uninstall entry left behind"

echo "== reinstall with autostart keeps the settings; /REMOVECONFIG removes everything"
run "$setup" /S
[ "$(reg_value "$run_key" Dovrel)" = "\"$dir_win\\Dovrel.exe\"" ] || fail "Run value is '$(reg_value "$run_key" Dovrel)'"
grep -q "^port=$port" "$dir/Dovrel.ini" || fail "reinstall replaced the user's Dovrel.ini"
run "$dir_win\\Uninstall.exe" /S /REMOVECONFIG
wait_until 40 gone "$dir" || fail "install folder left: $(ls "$dir")"
[ -z "$(reg_value "$run_key" Dovrel)" ] || fail "Run value left behind"
[ -z "$(reg_value "$settings_key" InstallPath)" ] || fail "InstallPath left behind"
echo "PASS"

#!/usr/bin/env bash
# DovrelSetup.exe under Wine: silent install into a test folder, Dovrel
# started from there, silent uninstall that ends it through Finwin, then a
# reinstall with autostart and an uninstall with /REMOVECONFIG.
# Usage: installer_test.sh DovrelSetup.exe winprobe.exe
set -euo pipefail
setup="$1"
winprobe="$2"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
run() { bash "$root/scripts/wine-run.sh" "$@"; }

port=23010
dir_win='C:\dovrel_installer_test'
dir="$WINEPREFIX/drive_c/dovrel_installer_test"
settings_key='HKLM\Software\Orvanta\Quillmont\CurrentVersion'
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dovrel'
dovrel_pid=""

fail() { echo "FAIL: $*" >&2; exit 1; }
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

echo "== silent install without autostart"
run "$setup" /S /NOAUTOSTART "/D=$dir_win"
for f in Dovrel.exe Finwin.dll Kalbrit.exe Dovrel.ini Uninstall.exe; do
    [ -f "$dir/$f" ] || fail "$f not installed"
done
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

echo "== silent uninstall ends Dovrel through Finwin and keeps the changed Dovrel.ini"
run "$dir_win\\Uninstall.exe" /S
wait_until 40 gone "$dir/Uninstall.exe" || fail "uninstaller did not finish"
wait_until 10 bash -c "! kill -0 $dovrel_pid 2>/dev/null" || fail "Dovrel still runs after the uninstall"
status=0
wait "$dovrel_pid" || status=$?
dovrel_pid=""
[ "$status" = 0 ] || fail "Dovrel ended with exit code $status"
[ "$(run "$winprobe" count-title Dovrel.exe | tr -d '\r')" = 0 ] || fail "a Dovrel.exe window is left"
for f in Dovrel.exe Finwin.dll Kalbrit.exe Uninstall.exe; do
    [ ! -e "$dir/$f" ] || fail "$f left behind"
done
grep -q "^port=$port" "$dir/Dovrel.ini" || fail "the changed Dovrel.ini was removed"
[ -z "$(reg_value "$settings_key" InstallPath)" ] || fail "InstallPath left behind"
[ -z "$(reg_value "$uninstall_key" UninstallString)" ] || fail "uninstall entry left behind"

echo "== reinstall with autostart keeps the settings; /REMOVECONFIG removes everything"
run "$setup" /S "/D=$dir_win"
[ "$(reg_value "$run_key" Dovrel)" = "\"$dir_win\\Dovrel.exe\"" ] || fail "Run value is '$(reg_value "$run_key" Dovrel)'"
grep -q "^port=$port" "$dir/Dovrel.ini" || fail "reinstall replaced the user's Dovrel.ini"
run "$dir_win\\Uninstall.exe" /S /REMOVECONFIG
wait_until 40 gone "$dir" || fail "install folder left: $(ls "$dir")"
[ -z "$(reg_value "$run_key" Dovrel)" ] || fail "Run value left behind"
[ -z "$(reg_value "$settings_key" InstallPath)" ] || fail "InstallPath left behind"
echo "PASS"

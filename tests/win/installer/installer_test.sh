#!/usr/bin/env bash
# DovrelSetup.exe under Wine, in the default folder (C:\Program Files\Dovrel,
# with a space), with the programs of the prefix's architecture
# (WINEARCH=win32 stands in for 32-bit Windows) and Finwin.dll of the other
# one in its subfolder:
#  1. fresh silent install on an English system, started from a folder that
#     also holds planted icacls.exe and netsh.exe (never run: system tools
#     are started by full path): Lang=English, firewall rule for domain and
#     private networks only (seen by a stand-in netsh.exe), no icacls on
#     Dovrel.ini, Start-menu entries, uninstall entry; an
#     automatic SNMP Trap service is left alone without /DISABLESNMPTRAP;
#  2. update on a Japanese system over a default Dovrel.ini the user never
#     changed: the file is replaced by the new default, now Lang=Japanese;
#     /DISABLESNMPTRAP disables the SNMP Trap service;
#     an uninstall removes that unchanged file; /LANG=Japanese overrides an
#     English system;
#  3. Dovrel started from the folder; Setting opens Kalbrit on Dovrel.ini;
#  4. update over the running Dovrel: the user's Dovrel.ini is kept;
#     /FIREWALL=all opens every profile; Dovrel runs again afterwards (even
#     with /NOSTART) and quits with 0;
#  5. silent uninstall ends Dovrel through Finwin, keeps the changed
#     Dovrel.ini, removes the shortcuts and the firewall rule;
#  6. an interactive reinstall with autostart: the last page says that the
#     (Wine: always public) network is not covered by the firewall rule, and
#     Dovrel is started through the desktop shell; /REMOVECONFIG removes
#     everything;
#  7. a folder outside Program Files: refused while it holds other files or
#     when icacls fails; else given the permissions of Program Files by the
#     system's icacls.exe (not the one planted beside the installer), and
#     again by an update; /FIREWALL=none, which an update keeps, adds no rule.
# Wine keeps no ACLs (its icacls.exe does nothing and says so), so the
# tests see the icacls commands that the stand-in logs, not the ACLs.
# Usage: installer_test.sh DovrelSetup.exe winprobe.exe OBJDUMP tool-standin.exe
set -euo pipefail
WINPROBE="$2"
objdump="$3"
tool_standin="$4"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/dovrel.sh"
setup="$(installer_for_here "$1")"

port=23010
# The default folder, whose name has a space. (A /D= with a space cannot be
# given through Wine, which quotes such an argument.)
dir_win='C:\Program Files\Dovrel'
DOVREL="$dir_win\\Dovrel.exe"
dir="$WINEPREFIX/drive_c/Program Files/Dovrel"
ini="$dir/Dovrel.ini"
startmenu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dovrel"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dovrel'
# The installer runs the native netsh.exe (System32, not SysWOW64); it runs
# no icacls.exe at all. Stand-ins, which log each command, take the place
# of both while the test runs, and planted copies lie beside the installer
# in the "downloads" folder.
system_tools=()
for d in system32 syswow64; do
    for t in netsh icacls; do
        [ -e "$WINEPREFIX/drive_c/windows/$d/$t.exe" ] && system_tools+=("$WINEPREFIX/drive_c/windows/$d/$t.exe")
    done
done
tools_log_win='C:\dovrel_tools.log'
tools_log="$WINEPREFIX/drive_c/dovrel_tools.log"
downloads_win='C:\dovrel_downloads'
downloads="$WINEPREFIX/drive_c/dovrel_downloads"
custom_win='C:\dovrel_custom'
custom="$WINEPREFIX/drive_c/dovrel_custom"
foreign="$WINEPREFIX/drive_c/dovrel_foreign"
setup_pid=""  # an interactive installer

fail() { echo "FAIL: $*" >&2; exit 1; }
pe_format() { "$objdump" -f "$1" | sed -n 's/.*file format //p'; }
if [ "${WINEARCH:-}" = win32 ]; then
    native=pei-i386 other=pei-x86-64 other_dir=x64
else
    native=pei-x86-64 other=pei-i386 other_dir=x86
fi
reg_value() { wine_run reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'; }
gone() { [ ! -e "$1" ]; }
# Installer or uninstaller with the stand-in netsh and the Unix locale
# given first (Wine takes the UI language and the ANSI code page from it).
with_locale() {
    local WINE_LC="$1"; shift
    WINEDLLOVERRIDES="netsh.exe,icacls.exe=n;mscoree,mshtml=" DOVREL_STANDIN_LOG="$tools_log_win" wine_run "$@"
}
# The shipped Dovrel.ini apart from its Lang= line.
same_as_shipped() { cmp -s <(grep -av '^Lang=' "$ini") <(grep -av '^Lang=' "$DOVREL_ROOT/installer/Dovrel.ini"); }
lang_is() { grep -aq "^Lang=$1"$'\r$' "$ini"; }
dovrel_windows() { probe count-title Dovrel.exe; }
# The tools beside the installer (stand-ins, logging where they were
# started from) never run: system tools are started by full path.
no_planted_tool_ran() {
    ! grep -aqiF "$downloads_win\\" "$tools_log" || fail "a tool planted beside the installer ran: $(grep -aiF "$downloads_win" "$tools_log")"
}
uninstall_quietly() {  # folder, the same as Windows sees it
    if [ -e "$1/Uninstall.exe" ]; then wine_run "$2\\Uninstall.exe" /S /REMOVECONFIG || true; wait_until 20 gone "$1/Uninstall.exe" || true; fi
}
cleanup() {
    # The installer is the child of the subshell that started it.
    if [ -n "$setup_pid" ]; then kill $(ps -o pid= --ppid "$setup_pid") "$setup_pid" 2>/dev/null || true; fi
    stop_dovrel 5
    uninstall_quietly "$dir" "$dir_win"
    uninstall_quietly "$custom" "$custom_win"
    rm -rf "$dir" "$custom" "$foreign" "$downloads" "$tools_log"
    for t in "${system_tools[@]}"; do
        if [ -e "$t.dovrel-test" ]; then mv -f "$t.dovrel-test" "$t"; fi
    done
    wine_run sc delete SNMPTRAP >/dev/null 2>&1 || true
}
at_exit cleanup
cleanup
# No earlier install to update: the installer then takes the default folder.
clear_install_path
for t in "${system_tools[@]}"; do
    cp "$t" "$t.dovrel-test"
    cp "$tool_standin" "$t"
done
mkdir -p "$downloads"
cp "$setup" "$downloads/DovrelSetup.exe"
cp "$tool_standin" "$downloads/icacls.exe"
cp "$tool_standin" "$downloads/netsh.exe"
# A stand-in SNMP Trap service that starts automatically (it never runs:
# its program does not exist).
wine_run sc create SNMPTRAP binpath= 'C:\dovrel-test-no-such-service.exe' start= auto >/dev/null
snmptrap_start() { reg_value 'HKLM\SYSTEM\CurrentControlSet\Services\SNMPTRAP' Start; }

echo "== 1. fresh silent install from a folder with planted tools, English system, without autostart or start"
with_locale en_US.UTF-8 "$downloads_win\\DovrelSetup.exe" /S /NOAUTOSTART /NOSTART
for f in Dovrel.exe Finwin.dll Kalbrit.exe Dovrel.ini Uninstall.exe "$other_dir/Finwin.dll"; do
    [ -f "$dir/$f" ] || fail "$f not installed"
done
for f in Dovrel.exe Finwin.dll Kalbrit.exe; do
    [ "$(pe_format "$dir/$f")" = "$native" ] || fail "$f is $(pe_format "$dir/$f"), not $native"
done
[ "$(pe_format "$dir/$other_dir/Finwin.dll")" = "$other" ] || fail "$other_dir/Finwin.dll is not $other"
lang_is English || fail "an English system got $(grep -a '^Lang=' "$ini" | tr -d '\r')"
same_as_shipped || fail "installed Dovrel.ini differs from the default in more than Lang="
[ "$(reg_value "$INSTALL_KEY" InstallPath)" = "$dir_win" ] || fail "InstallPath is '$(reg_value "$INSTALL_KEY" InstallPath)'"
[ -z "$(reg_value "$run_key" Dovrel)" ] || fail "/NOAUTOSTART still wrote the Run value"
[ -n "$(reg_value "$uninstall_key" UninstallString)" ] || fail "no uninstall entry"
for v in DisplayIcon Publisher DisplayVersion EstimatedSize; do
    [ -n "$(reg_value "$uninstall_key" $v)" ] || fail "uninstall entry has no $v"
done
(( $(reg_value "$uninstall_key" EstimatedSize) > 0x40 )) || fail "EstimatedSize is $(reg_value "$uninstall_key" EstimatedSize)"
for f in "Dovrel.lnk" "Dovrel settings (Kalbrit).lnk" "Uninstall Dovrel.lnk"; do
    [ -f "$startmenu/$f" ] || fail "no Start-menu entry $f"
done
no_planted_tool_ran
! grep -aqiE 'icacls.*Dovrel\.ini' "$tools_log" || fail "icacls was run on Dovrel.ini: $(grep -ai icacls "$tools_log")"
grep -aqF "advfirewall firewall add rule name=\"Dovrel SNMP traps\" dir=in action=allow program=\"$dir_win\\Dovrel.exe\" protocol=UDP profile=domain,private " "$tools_log" ||
    fail "no firewall rule for Dovrel.exe on domain and private networks; netsh saw: $(cat "$tools_log" 2>/dev/null)"
[ "$(reg_value "$INSTALL_KEY" FirewallProfiles)" = "domain,private" ] || fail "FirewallProfiles is '$(reg_value "$INSTALL_KEY" FirewallProfiles)'"
[ "$(dovrel_windows)" = 0 ] || fail "/NOSTART still started Dovrel"
[ "$(snmptrap_start)" = 0x2 ] || fail "a silent install changed the SNMP Trap service without /DISABLESNMPTRAP"

echo "== 2. update on a Japanese system over the unchanged default: replaced, Lang=Japanese"
# An older default: other bytes, same size and file time as recorded at install.
cp -p "$ini" "$ini.time"
sed -i '1s/^; Dovrel.ini/; OLDVER.ini/' "$ini"
touch -r "$ini.time" "$ini"
rm "$ini.time"
with_locale ja_JP.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART /DISABLESNMPTRAP
[ "$(snmptrap_start)" = 0x4 ] || fail "/DISABLESNMPTRAP left the SNMP Trap service's start type $(snmptrap_start)"
lang_is Japanese || fail "a Japanese system got $(grep -a '^Lang=' "$ini" | tr -d '\r')"
same_as_shipped || fail "the unchanged default Dovrel.ini was not replaced by the new one"

echo "== 2b. uninstall removes the unchanged default; /LANG=Japanese overrides an English system"
with_locale en_US.UTF-8 "$dir_win\\Uninstall.exe" /S
wait_until 40 gone "$dir" || fail "uninstall left $(ls "$dir")"
with_locale en_US.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART /LANG=Japanese
lang_is Japanese || fail "/LANG=Japanese gave $(grep -a '^Lang=' "$ini" | tr -d '\r')"

echo "== 3. Dovrel from the install folder, on a test port; Setting opens Kalbrit"
sed -i "s/^port=162\r\$/port=$port\r/" "$ini"
grep -q "^port=$port" "$ini" || fail "could not set the test port"
start_dovrel
probe wait-title Dovrel.exe 30 || fail "Dovrel's main window did not appear"
wait_port_bound "$port" 10 || fail "Dovrel does not listen on UDP $port"
kalbrit_title='Kalbrit - Dovrel trap settings'
probe post-command Dovrel.exe 40003
probe wait-title "$kalbrit_title" 20 || fail "Setting did not open Kalbrit"
shown="$(probe dialog-text "$kalbrit_title" 1012)"
[ "$shown" = "$dir_win\Dovrel.ini" ] || fail "Kalbrit edits '$shown', not '$dir_win\Dovrel.ini'"
[ "$(probe dialog-text "$kalbrit_title" 1003)" = "$port" ] || fail "Kalbrit does not show the installed port"
probe press "$kalbrit_title" 2
probe wait-gone "$kalbrit_title" 10 || fail "Kalbrit did not close"

echo "== 4. update over the running Dovrel, English system, /NOSTART /FIREWALL=all: the user's file kept, Dovrel running again"
: > "$tools_log"
with_locale en_US.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART /FIREWALL=all
wait_exit "$DOVREL_PID" 10 || fail "the update did not end the old Dovrel"
[ "$EXIT_CODE" = 0 ] || fail "the old Dovrel ended with exit code $EXIT_CODE"
grep -q "^port=$port" "$ini" || fail "the update replaced the user's Dovrel.ini"
lang_is Japanese || fail "the update changed Lang= in the user's Dovrel.ini"
grep -aqF "protocol=UDP profile=any " "$tools_log" || fail "/FIREWALL=all did not open every profile; netsh saw: $(cat "$tools_log")"
[ "$(reg_value "$INSTALL_KEY" FirewallProfiles)" = any ] || fail "FirewallProfiles is '$(reg_value "$INSTALL_KEY" FirewallProfiles)' after /FIREWALL=all"
[ "$(reg_value "$INSTALL_KEY" InstallPath)" = "$dir_win" ] || fail "the update moved to '$(reg_value "$INSTALL_KEY" InstallPath)'"
probe wait-title Dovrel.exe 30 >/dev/null || fail "Dovrel is not running after the update"
wait_port_bound "$port" 10 || fail "the restarted Dovrel does not listen on UDP $port"
code="$(probe command-exit Dovrel.exe 40002 20)" || fail "the restarted Dovrel did not end on QUIT"
[ "$code" = 0 ] || fail "the restarted Dovrel ended with exit code $code"

echo "== 5. silent uninstall ends Dovrel through Finwin, keeps the changed Dovrel.ini"
start_dovrel
probe wait-title Dovrel.exe 30 >/dev/null || fail "Dovrel's main window did not appear"
: > "$tools_log"
with_locale en_US.UTF-8 "$dir_win\\Uninstall.exe" /S
wait_until 40 gone "$dir/Uninstall.exe" || fail "uninstaller did not finish"
wait_exit "$DOVREL_PID" 10 || fail "Dovrel still runs after the uninstall"
[ "$EXIT_CODE" = 0 ] || fail "Dovrel ended with exit code $EXIT_CODE"
[ "$(dovrel_windows)" = 0 ] || fail "a Dovrel.exe window is left"
for f in Dovrel.exe Finwin.dll Kalbrit.exe Uninstall.exe "$other_dir"; do
    [ ! -e "$dir/$f" ] || fail "$f left behind"
done
grep -q "^port=$port" "$ini" || fail "the changed Dovrel.ini was removed"
[ ! -e "$startmenu" ] || fail "Start-menu entries left: $(ls "$startmenu")"
grep -aq 'advfirewall firewall delete rule name="Dovrel SNMP traps"' "$tools_log" ||
    fail "the uninstaller did not remove the firewall rule; netsh saw: $(cat "$tools_log")"
[ -z "$(reg_value "$INSTALL_KEY" InstallPath)" ] || fail "InstallPath left behind"
[ -z "$(reg_value "$INSTALL_KEY" FirewallProfiles)" ] || fail "FirewallProfiles left behind"
[ -z "$(reg_value "$uninstall_key" UninstallString)" ] || fail "uninstall entry left behind"

echo "== 6. interactive reinstall with autostart: the last page tells of the public network, Dovrel starts through the shell"
wizard='Dovrel Setup*'  # each page adds its own part to the title
wizard_shows() { local texts; texts="$(probe child-texts "$wizard")"; [[ "$texts" == *"$1"* ]]; }
next_page_shows() { probe press "$wizard" 1 >/dev/null; wait_until 60 wizard_shows "$1"; }
with_locale en_US.UTF-8 "$setup" &
setup_pid=$!
wait_until 30 wizard_shows "components" || fail "the installer's first page did not appear"
next_page_shows "Destination Folder" || fail "no folder page"
# The language page is skipped: the user's Dovrel.ini is kept.
next_page_shows "Completed" || fail "the install did not complete: $(probe child-texts "$wizard")"
next_page_shows "has been installed in" || fail "no last page"
wizard_shows "public network" || fail "the last page does not tell of the public network: $(probe child-texts "$wizard")"
probe press "$wizard" 1 >/dev/null
status=0
wait "$setup_pid" || status=$?
setup_pid=""
[ "$status" = 0 ] || fail "the interactive install ended with exit code $status"
[ "$(reg_value "$run_key" Dovrel)" = "\"$dir_win\\Dovrel.exe\"" ] || fail "Run value is '$(reg_value "$run_key" Dovrel)'"
grep -q "^port=$port" "$ini" || fail "reinstall replaced the user's Dovrel.ini"
probe wait-title Dovrel.exe 30 >/dev/null || fail "the install did not start Dovrel"
wait_port_bound "$port" 10 || fail "the started Dovrel does not listen on UDP $port"
with_locale en_US.UTF-8 "$dir_win\\Uninstall.exe" /S /REMOVECONFIG
wait_until 40 gone "$dir" || fail "install folder left: $(ls "$dir")"
probe wait-gone Dovrel.exe 10 || fail "the uninstall left Dovrel running"
[ -z "$(reg_value "$run_key" Dovrel)" ] || fail "Run value left behind"
[ -z "$(reg_value "$INSTALL_KEY" InstallPath)" ] || fail "InstallPath left behind"

echo "== 7. a folder outside Program Files, /FIREWALL=none"
mkdir -p "$foreign"
echo data > "$foreign/other.txt"
status=0
with_locale en_US.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART '/D=C:\dovrel_foreign' || status=$?
[ "$status" != 0 ] || fail "an install into a folder that holds other files succeeded"
[ ! -e "$foreign/Dovrel.exe" ] || fail "an install wrote into a folder that holds other files"
status=0
DOVREL_STANDIN_FAIL=icacls.exe with_locale en_US.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART "/D=$custom_win" || status=$?
[ "$status" != 0 ] || fail "an install went on when icacls could not set the folder's permissions"
[ ! -e "$custom/Dovrel.exe" ] || fail "an install wrote into a folder whose permissions could not be set"
rm -rf "$custom"
icacls_win='C:\windows\system32\icacls.exe'
program_files_acl='/inheritance:r /grant:r *S-1-5-18:(OI)(CI)F *S-1-5-32-544:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX'
# The system's icacls.exe on the custom folder, with ARGS.
# (No grep -q after the pipe: the first grep would end on SIGPIPE.)
icacls_ran() { grep -aiF "$icacls_win|" "$tools_log" | grep -aF "\"$custom_win\" $1" >/dev/null; }
: > "$tools_log"
with_locale en_US.UTF-8 "$downloads_win\\DovrelSetup.exe" /S /NOAUTOSTART /NOSTART /FIREWALL=none "/D=$custom_win"
[ -f "$custom/Dovrel.exe" ] || fail "nothing installed into $custom_win"
icacls_ran "$program_files_acl" || fail "$custom_win was not given the permissions of Program Files; tools saw: $(cat "$tools_log")"
no_planted_tool_ran
grep -aq 'advfirewall firewall delete rule name="Dovrel SNMP traps"' "$tools_log" || fail "/FIREWALL=none left an earlier rule"
! grep -aq 'advfirewall firewall add rule' "$tools_log" || fail "/FIREWALL=none added a rule: $(cat "$tools_log")"
[ "$(reg_value "$INSTALL_KEY" FirewallProfiles)" = none ] || fail "FirewallProfiles is '$(reg_value "$INSTALL_KEY" FirewallProfiles)' after /FIREWALL=none"
# An update sets them again over whatever an earlier version left (owner
# and entries included) and, without /FIREWALL=, keeps none.
: > "$tools_log"
with_locale en_US.UTF-8 "$setup" /S /NOAUTOSTART /NOSTART
[ "$(reg_value "$INSTALL_KEY" InstallPath)" = "$custom_win" ] || fail "the update went to '$(reg_value "$INSTALL_KEY" InstallPath)'"
for step in '/setowner *S-1-5-32-544' '/reset' "$program_files_acl"; do
    icacls_ran "$step" || fail "the update did not run icacls $step; tools saw: $(cat "$tools_log")"
done
! grep -aq 'advfirewall firewall add rule' "$tools_log" || fail "an update without /FIREWALL= added a rule after /FIREWALL=none"
[ "$(reg_value "$INSTALL_KEY" FirewallProfiles)" = none ] || fail "an update changed FirewallProfiles to '$(reg_value "$INSTALL_KEY" FirewallProfiles)'"
echo "PASS"

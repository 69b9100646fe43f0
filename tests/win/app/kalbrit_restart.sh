#!/usr/bin/env bash
# Kalbrit applies a saved port: it restarts the installed Dovrel through
# Finwin.dll, which then listens on the new port only and shows a trap sent
# there; its "Send test trap" button makes the coldStart alert appear; a
# Dovrel that cannot bind its port is reported, not taken for running.
# Usage: kalbrit_restart.sh DOVREL WINPROBE KALBRIT FINWIN   (ports 26010..26012)
# With OTHER_FINWIN=DLL and OWN_SUBFOLDER=x64|x86, the other architecture's
# Finwin lies beside Dovrel.exe and Kalbrit's own in the subfolder.
# With SHOTS=DIR, screenshots of the restart question and the test's reply.
DOVREL_BUILT="$1" WINPROBE="$2" KALBRIT="$3" FINWIN="$4"
source "$(dirname "$0")/lib.sh"
OLD=26010 NEW=26011 ALERT=TOLM BOX=Kalbrit FORM='Kalbrit - Dovrel *'
case "$WINE_LC" in
ja*) ANSI=CP932 RESTART_Q='今すぐ Dovrel を起動し直しますか' REFUSED='拒否したトラップ 1 件 (最後: ' REFUSED_WHY='、127.0.0.1、コミュニティ不一致)'
    USERS="hex:$(sjis_hex 'Kalbrit - SNMPv3 ユーザー')" USER="hex:$(sjis_hex 'Kalbrit - SNMPv3 ユーザーの設定')"
    AS_USER='ユーザー: ups-admin、' ;;
*) ANSI=CP1252 RESTART_Q='Restart Dovrel now' REFUSED='1 trap refused, last ' REFUSED_WHY=' from 127.0.0.1: wrong community'
    USERS='Kalbrit - SNMPv3 users' USER='Kalbrit - SNMPv3 user' AS_USER='keys of the user ups-admin, ' ;;
esac
shot() { [ -n "${SHOTS:-}" ] && import -window root "$SHOTS/$1" 2>/dev/null; return 0; }
# The message box's text (ANSI bytes) as UTF-8.
box_text() { probe dialog-text "$BOX" 65535 | iconv -f "$ANSI" -t UTF-8; }
# answer_box BUTTON: presses it and waits for the box to go.
answer_box() { probe press "$BOX" "$1" && probe wait-gone "$BOX" 10; }
# close_alert: its Close button (IDCANCEL), as a user ends an alert.
close_alert() { probe post-command "$ALERT" 2 && check "the alert closes" probe wait-gone "$ALERT" 5; }
port_bound() { ss -uan 2>/dev/null | grep -q ":$1 "; }

install="$WORK/install"
write_ini "$install" "$OLD" 'Lang=English' 'trapCommunity=vandor' '[usKarn_msgEng]' '2=orange,Cold start seen'
cp "$DOVREL_BUILT" "$install/Dovrel.exe"
cp "$KALBRIT" "$install/Kalbrit.exe"
if [ -n "${OTHER_FINWIN:-}" ]; then
    # Finwin of the other architecture beside Dovrel.exe: Kalbrit must take
    # its own from the subfolder.
    cp "$OTHER_FINWIN" "$install/Finwin.dll"
    mkdir -p "$install/$OWN_SUBFOLDER"
    cp "$FINWIN" "$install/$OWN_SUBFOLDER/Finwin.dll"
else
    cp "$FINWIN" "$install/Finwin.dll"
fi
set_install_path "$install"
DOVREL="$install/Dovrel.exe"
start_dovrel
check "Dovrel binds port $OLD" wait_port_bound "$OLD" 20

wine_run "$install/Kalbrit.exe" &
KALBRIT_PID=$!
check "Kalbrit's form appears" probe wait-title "$FORM" 20
probe set-text "$FORM" 1003 "$NEW"   # IDC_PORT
probe press "$FORM" 1013             # IDC_SAVE
check "the save asks to restart Dovrel" probe wait-title "$BOX" 10
check "the question offers the restart" eval 'box_text | grep -qF "$RESTART_Q"'
shot "kalbrit-restart-question.png"
answer_box 6  # IDYES
check "the old Dovrel ends through Finwin with exit code 0" wait_exit "$DOVREL_PID" 25
check "the new Dovrel binds port $NEW" wait_port_bound "$NEW" 20
check_not "nothing listens on the old port $OLD" port_bound "$OLD"
check "Kalbrit reports the restart" probe wait-title "$BOX" 20
check "the report names the new port" eval 'box_text | grep -qF "$NEW"'
answer_box 1  # IDOK

cold_start_trap "$NEW"
check "a trap from snmptrap to port $NEW shows an alert" probe wait-title "$ALERT" 12
close_alert

# A device's trap with the wrong community: the test's reply reports it,
# read from Dovrel through its status query (WM_APP + 100, 2: refused).
snmptrap -v 1 -c wrongcomm "127.0.0.1:$NEW" 1.3.6.1.4.1.8072.3.2.10 127.0.0.1 0 0 ''
one_refused() { test "$(probe send-message Dovrel.exe $((0x8064)) 2)" = 1; }
check "Dovrel counts the wrong community" wait_until 12 one_refused

# The installer's record of a rule for domain and private networks only;
# Wine calls every network Public, so device traps would be blocked.
wine_run reg add "$INSTALL_KEY" /v FirewallProfiles /t REG_SZ /d domain,private /f /reg:64 >/dev/null
probe press "$FORM" 1015  # IDC_SEND_TEST
check "the test trap is reported" probe wait-title "$BOX" 10
check "the report quotes the catalogue's text" eval 'box_text | grep -qF "Cold start seen"'
check "the report says that the firewall keeps device traps out on a Public network" \
    eval 'box_text | grep -qF "/FIREWALL=all"'
check "the report adds what Dovrel refused, in Kalbrit's language" \
    eval 'box_text | grep -F "$REFUSED" | grep -qF "$REFUSED_WHY"'
check "the alert of the test trap appears" probe wait-title "$ALERT" 12
check "it carries the catalogue's text" test "$(probe dialog-text "$ALERT" 1001)" = "Cold start seen"
shot "kalbrit-test-trap.png"
answer_box 1

# ---- SNMPv3: a user added in Kalbrit's list with its passphrases typed
# twice; saved, Dovrel restarts and takes net-snmp's authPriv trap signed
# with those passphrases from an engine it was never told, and the list's
# own test trap as that user.
probe press "$FORM" 1047  # IDC_V3_USERS
check "the SNMPv3 users list opens" probe wait-title "$USERS" 10
probe press "$USERS" 1042  # IDC_LIST_ADD
check "the user entry opens" probe wait-title "$USER" 10
probe set-text "$USER" 1045 ups-admin      # IDC_ENTRY_KEY
probe set-text "$USER" 1050 maplesyrup-1   # IDC_ENTRY_AUTH_PASS (SHA, the default)
probe set-text "$USER" 1051 maplesyrup-1
probe set-text "$USER" 1053 privacy-pass   # IDC_ENTRY_PRIV_PASS (AES, the default)
probe set-text "$USER" 1054 privacy-pasz   # mistyped
shot "kalbrit-v3-user.png"
probe press "$USER" 1
check "a mistyped passphrase is refused where it is typed" probe wait-title "$BOX" 10
answer_box 1
probe set-text "$USER" 1054 privacy-pass
probe press "$USER" 1
check "the entry is taken" probe wait-gone "$USER" 10
probe press "$USERS" 1  # Save
check "the save asks to restart Dovrel" probe wait-title "$BOX" 10
answer_box 6
check "Kalbrit reports the restart" probe wait-title "$BOX" 25
answer_box 1
ini_bytes() { tr -d '\r' <"$install/Dovrel.ini"; }
check "the user is saved as user1 with master keys in hex" \
    eval 'ini_bytes | grep -Eq "^user1=ups-admin,SHA,[0-9a-f]{40},AES,[0-9a-f]{40}$"'
check_not "no passphrase is written" eval 'grep -qE "maplesyrup|privacy-pass" "$install/Dovrel.ini"'
wait_port_bound "$NEW" 20
snmptrap -v 3 -e 0x80001f88045550530001 -u ups-admin -l authPriv -a SHA -A maplesyrup-1 -x AES -X privacy-pass \
    "127.0.0.1:$NEW" '' 1.3.6.1.6.3.1.1.5.1
check "net-snmp's SNMPv3 authPriv trap for that user shows its alert" probe wait-title "$ALERT" 12
check "it carries the catalogue's text" test "$(probe dialog-text "$ALERT" 1001)" = "Cold start seen"
close_alert
snmptrap -v 3 -e 0x80001f88045550530002 -u ups-admin -l authPriv -a SHA -A maplesyrup-2 -x AES -X privacy-pass \
    "127.0.0.1:$NEW" '' 1.3.6.1.6.3.1.1.5.1
wrong_digest() { test "$(probe send-message Dovrel.exe $((0x8064)) 2)" = 1; }
check "a trap signed with another passphrase is refused and counted" wait_until 12 wrong_digest
check_not "and shows nothing" probe wait-title "$ALERT" 2
probe press "$FORM" 1047
check "the list opens again with the saved user" probe wait-title "$USERS" 10
shot "kalbrit-v3-users.png"
probe press "$USERS" 1048  # IDC_LIST_TEST, the first user selected
check "the SNMPv3 test trap is reported" probe wait-title "$BOX" 10
check "the report names the user" eval 'box_text | grep -qF "$AS_USER"'
check "the report quotes the catalogue's text" eval 'box_text | grep -qF "Cold start seen"'
check "the alert of the SNMPv3 test trap appears" probe wait-title "$ALERT" 12
shot "kalbrit-v3-test-trap.png"
answer_box 1
probe press "$USERS" 2  # Cancel
probe wait-gone "$USERS" 10
close_alert

probe post-command Dovrel.exe 40002  # QUIT the Dovrel that Kalbrit started
check "the restarted Dovrel ends on QUIT" probe wait-gone Dovrel.exe 15

# ---- A port held by another program: Dovrel shows its start-up warning,
# and Kalbrit says that it did not come up instead of reporting success.
TAKEN=26012
hold_port "$TAKEN"
check "port holder binds port $TAKEN" wait_port_bound "$TAKEN" 10
probe set-text "$FORM" 1003 "$TAKEN"
probe press "$FORM" 1013
check "with no Dovrel running the save offers to start one" probe wait-title "$BOX" 10
answer_box 6
check "Kalbrit reports that Dovrel did not come up" probe wait-title "$BOX" 20
check "the report says what to check" eval 'box_text | grep -qF "netstat -ano -p udp"'
answer_box 1
probe press "Warning(Tesvane)" 1
check "the Dovrel that could not start ends" probe wait-gone Dovrel.exe 15

probe press "$FORM" 2  # Close
wait_exit "$KALBRIT_PID" 10
finish

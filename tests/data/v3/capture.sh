#!/usr/bin/env bash
# Captures the SNMPv3 notifications in this folder from the real senders:
# net-snmp's snmptrap and pysnmp (python3-pysnmp4). Each datagram is sent to
# a loopback port and written as it arrived. Run from anywhere; the files
# are replaced. The users and passphrases are those of README.txt.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
port=29160

# One datagram from 127.0.0.1:$port into $1, while "$@" (after $1) sends it.
capture() {
    local out="$1"; shift
    /usr/bin/python3 - "$port" "$out" <<'PY' &
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", int(sys.argv[1])))
s.settimeout(10)
open(sys.argv[2], "wb").write(s.recvfrom(65535)[0])
PY
    local receiver=$!
    sleep 0.5
    "$@"
    wait "$receiver"
}

HOST="127.0.0.1:$port"
NETSNMP_ENGINE=0x8000000005aabbccdd01020304
TRAP=(4242 1.3.6.1.2.1.33.2.0.1 1.3.6.1.2.1.33.1.2.3.0 i 15)
snmptrap3() { snmptrap -M /dev/null -On -v 3 -e "$NETSNMP_ENGINE" "$@"; }

capture netsnmp_authpriv_sha_aes_b7_t5000.bin snmptrap3 -Z 7,5000 -u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass "$HOST" "${TRAP[@]}"
capture netsnmp_authpriv_sha_aes_b7_t4800.bin snmptrap3 -Z 7,4800 -u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass "$HOST" "${TRAP[@]}"
capture netsnmp_authpriv_sha_aes_b6_t9000.bin snmptrap3 -Z 6,9000 -u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass "$HOST" "${TRAP[@]}"
capture netsnmp_authpriv_sha_aes_b8_t10.bin snmptrap3 -Z 8,10 -u ups-sha -l authPriv -a SHA -A sha-auth-pass -x AES -X sha-priv-pass "$HOST" "${TRAP[@]}"
capture netsnmp_authpriv_sha256_aes_b3_t100.bin snmptrap3 -Z 3,100 -u ups-sha256 -l authPriv -a SHA-256 -A sha256-auth-pass -x AES -X sha256-priv-pass "$HOST" "${TRAP[@]}"
capture netsnmp_authnopriv_md5_b3_t100.bin snmptrap3 -Z 3,100 -u ups-md5 -l authNoPriv -a MD5 -A md5-auth-pass "$HOST" "${TRAP[@]}"
capture netsnmp_noauthnopriv_plain.bin snmptrap3 -u ups-plain -l noAuthNoPriv "$HOST" "${TRAP[@]}"
capture netsnmp_noauthnopriv_sha.bin snmptrap3 -u ups-sha -l noAuthNoPriv "$HOST" "${TRAP[@]}"

# net-snmp's engine discovery probe, the first datagram of an INFORM to an
# engine it does not know yet (nothing answers it here).
capture netsnmp_discovery_probe.bin sh -c "snmpinform -M /dev/null -On -v 3 -t 1 -r 0 -u ups-sha -l authPriv -a SHA \
    -A sha-auth-pass -x AES -X sha-priv-pass $HOST ${TRAP[*]} >/dev/null 2>&1 || true"

PYSNMP_ENGINE=8000000005aabbccdd0a0b0c0d
for auth in SHA-224 SHA-384 SHA-512; do
    lower=$(echo "$auth" | tr -d '-' | tr 'A-Z' 'a-z')
    capture "pysnmp_authpriv_${lower}_aes.bin" /usr/bin/python3 pysnmp_send_trap.py "$port" "$PYSNMP_ENGINE" \
        "ups-$lower" "$auth" "$lower-auth-pass" AES "$lower-priv-pass"
done
ls -l ./*.bin

#!/usr/bin/env bash
# Each deliverable is built for the architecture of its build.
# Usage: pe_format.sh OBJDUMP FORMAT FILE...   (FORMAT: pei-i386 or pei-x86-64)
set -euo pipefail
objdump="$1" want="$2"; shift 2
status=0
for f in "$@"; do
    got="$("$objdump" -f "$f" | sed -n 's/.*file format //p')"
    if [ "$got" = "$want" ]; then echo "ok: $(basename "$f") is $got"
    else echo "FAIL: $(basename "$f") is '$got', not $want"; status=1; fi
done
exit "$status"

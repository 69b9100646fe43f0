#!/usr/bin/env bash
# The floors of the house, lowest first: a file may include its own folder
# and the folders below it, never one above (app and kalbrit share the top
# floor and neither uses the other). Prints every upward include and fails
# when there is one.
# Usage: layering.sh PROJECT_ROOT
set -uo pipefail
cd "${1:-.}" || exit 2
grep -HnE '^#include "[a-z_]+/' {core,win,settings,snmp,alert,app,kalbrit}/*.{h,cpp} 2>/dev/null | awk '
BEGIN { split("res core win settings snmp alert app kalbrit", names, " ")
        split("0 1 2 3 4 5 6 6", floors, " ")
        for (i in names) floor[names[i]] = floors[i] }
{
    split($0, place, "/"); own = place[1]
    included = $0; sub(/.*#include "/, "", included); sub(/\/.*/, "", included)
    checked++
    if (!(included in floor)) next
    if (floor[included] > floor[own] || (floor[included] == floor[own] && included != own)) {
        print "upward include: " $0; bad++
    }
}
END { printf "layering: %d includes checked, %d upward\n", checked, bad; exit bad > 0 }'

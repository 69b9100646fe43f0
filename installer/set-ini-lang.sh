#!/usr/bin/env bash
# Writes a copy of the shipped Dovrel.ini whose [usKarn_trap] Lang= line
# selects LANG; every other byte (the Shift-JIS catalogue, CRLF line ends)
# stays as it is. The installer holds one copy per language.
# Usage: set-ini-lang.sh Dovrel.ini OUT English|Japanese
set -euo pipefail
in="$1" out="$2" lang="$3"
export LC_ALL=C
# Exactly one Lang= line, else the catalogue file has changed shape.
count="$(grep -c $'^Lang=[^\r]*\r$' "$in" || true)"
[ "$count" = 1 ] || { echo "set-ini-lang.sh: $in has $count Lang= lines, not 1" >&2; exit 1; }
sed "s/^Lang=[^\r]*\r\$/Lang=$lang\r/" "$in" > "$out.tmp"
mv "$out.tmp" "$out"

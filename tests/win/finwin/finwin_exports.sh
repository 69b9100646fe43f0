#!/usr/bin/env bash
# Finwin.dll exports exactly one function, FinWin, by that plain name, at
# ordinal 1 (in the 32-bit build too: no _FinWin, no FinWin@4).
# Usage: finwin_exports.sh <Finwin.dll> [objdump]
set -euo pipefail
dll="$1"
objdump="${2:-x86_64-w64-mingw32-objdump}"
table="$("$objdump" -p "$dll")"

fail() { echo "FAIL: $*" >&2; echo "$table" | sed -n '/The Export Tables/,/The Function Table/p' >&2; exit 1; }

grep -q "The Export Tables" <<<"$table" || fail "no export table"
# Counts, from the "Number in:" block that precedes the table addresses.
counts="$(sed -n '/^Number in:/,/^Table Addresses/p' <<<"$table")"
addresses="$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]\+\([0-9a-fA-F]\+\)$/\1/p' <<<"$counts")"
names="$(sed -n 's/^[[:space:]]*\[Name Pointer\/Ordinal\] Table[[:space:]]\+\([0-9a-fA-F]\+\)$/\1/p' <<<"$counts")"
[[ "$addresses" =~ ^[0-9a-fA-F]+$ ]] || fail "no address count: '$addresses'"
[[ "$names" =~ ^[0-9a-fA-F]+$ ]] || fail "no name count: '$names'"
[ "$((16#$addresses))" -eq 1 ] || fail "expected 1 exported address, found $addresses"
[ "$((16#$names))" -eq 1 ] || fail "expected 1 exported name, found $names"

base="$(sed -n 's/^Ordinal Base[[:space:]]\+\([0-9]\+\)$/\1/p' <<<"$table")"
# The name table lists each name with its index into the address table.
entries="$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$table" | grep -E '^[[:space:]]*\[ *[0-9]+\]')"
[ "$(wc -l <<<"$entries")" -eq 1 ] || fail "expected one named export: $entries"
index="$(sed -E 's/^[[:space:]]*\[ *([0-9]+)\].*/\1/' <<<"$entries")"
name="$(sed -E 's/^[[:space:]]*\[ *[0-9]+\][[:space:]]+//' <<<"$entries")"
[ "$name" = "FinWin" ] || fail "export is named '$name', not FinWin"
[[ "$base" =~ ^[0-9]+$ && "$index" =~ ^[0-9]+$ ]] || fail "unreadable ordinal: base '$base', index '$index'"
[ "$((base + index))" -eq 1 ] || fail "FinWin has ordinal $((base + index)), not 1"
echo "OK: FinWin is the only export, ordinal 1"

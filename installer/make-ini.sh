#!/usr/bin/env bash
# Regenerates Dovrel.ini (Shift-JIS, CRLF lines) from its readable UTF-8 source.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
sed 's/$/\r/' "$here/Dovrel.ini.utf8" | iconv -f UTF-8 -t CP932 > "$here/Dovrel.ini.tmp"
mv "$here/Dovrel.ini.tmp" "$here/Dovrel.ini"

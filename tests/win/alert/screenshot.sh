#!/usr/bin/env bash
# Screenshots of alert windows as a user sees them, for docs/:
#   alert-red.png, alert-orange.png, alert-green.png (English catalogue
#   texts) and alert-japanese.png (a Shift-JIS text, code page 932);
#   screenshots/alert-merged-en.png and screenshots/alert-merged-ja.png, a
#   trap that came five times merged into its window (mergeRepeats=1);
#   and screenshots/alert-named-*.png, a named sender in English and, cut
#   to fit, in Japanese.
# Usage: screenshot.sh <alert_demo.exe> [output folder]
# Runs under its own Xvfb display unless DISPLAY is set.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/display.sh"
need_display "$@"
demo="$1"
out="${2:-$DOVREL_ROOT/docs}"
mkdir -p "$out"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# shot <message number> <sender> <file> [extra environment]; ARRIVALS=n
# sends the trap n times.
shot() {
  local number="$1" sender="$2" file="$3"; shift 3
  local log="$work/demo.out"
  : >"$log"
  env "$@" bash "$DOVREL_ROOT/scripts/wine-run.sh" "$demo" "$number" "$sender" 4000 "${ARRIVALS:-1}" >"$log" 2>/dev/null &
  local pid=$!
  local ready=""
  for _ in $(seq 1 150); do
    ready="$(grep -a '^READY' "$log" || true)"
    [ -n "$ready" ] && break
    sleep 0.2
  done
  if [ -z "$ready" ]; then
    echo "no alert window for message $number" >&2
    wait "$pid" || true
    return 1
  fi
  read -r _ x y w h <<<"$(echo "$ready" | tr -d '\r')"
  import -window root "$work/root.png"
  mkdir -p "$(dirname "$out/$file")"
  convert "$work/root.png" -crop "${w}x${h}+${x}+${y}" +repage "$out/$file"
  wait "$pid"
  echo "$out/$file (${w}x${h})"
}

shot 1 127.0.0.1 alert-red.png
shot 2 127.0.0.1 alert-orange.png
shot 3 127.0.0.1 alert-green.png
shot 4 127.0.0.1 alert-japanese.png LC_ALL=ja_JP.UTF-8
mkdir -p "$out/screenshots"
ARRIVALS=5 shot 1 192.0.2.10 screenshots/alert-merged-en.png
ARRIVALS=5 shot 4 192.0.2.10 screenshots/alert-merged-ja.png LC_ALL=ja_JP.UTF-8
shot 1 192.0.2.10 screenshots/alert-named-en.png
shot 4 192.0.2.20 screenshots/alert-named-ja.png LC_ALL=ja_JP.UTF-8

#!/usr/bin/env bash
# Builds the fuzz preset and runs one fuzzer for SECONDS (default 60) on a
# scratch copy of its seed corpus: TARGET, the second argument, is
# parse_trap (the SNMPv1 decoder, the default) or usm_receive (the SNMPv3
# receiver). Prints the executions and findings; exits non-zero when the
# fuzzer finds a crash, leak or sanitizer report.
# DOVREL_FUZZ_BUILD_DIR builds elsewhere than the preset's build/fuzz.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/layout.sh"
cd "$DOVREL_ROOT"
seconds="${1:-60}"
target="${2:-parse_trap}"
fuzz_target="${target}_fuzzer"

tree="${DOVREL_FUZZ_BUILD_DIR:-$(build_dir fuzz)}"
cmake --preset fuzz -B "$tree" >/dev/null
cmake --build "$tree" -j"$(nproc)" --target "$fuzz_target"
fuzzer="$(find "$tree" -type f -name "$fuzz_target" -perm -u+x | head -n1)"
[ -n "$fuzzer" ] || { echo "$fuzz_target was not built" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/dovrel-fuzz.XXXXXX")"
mkdir -p "$work/corpus" "$work/findings"
case "$target" in
  usm_receive) cp tests/fuzz/usm_corpus/* "$work/corpus/" ;;
  *) cp tests/data/traps/*.bin tests/fuzz/corpus/* "$work/corpus/" ;;
esac

set +e
"$fuzzer" "$work/corpus" \
  -dict="tests/fuzz/$target.dict" \
  -max_len=1500 \
  -max_total_time="$seconds" \
  -print_final_stats=1 \
  -artifact_prefix="$work/findings/" >"$work/log" 2>&1
status=$?
set -e

executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n1)"
findings="$(find "$work/findings" -type f | wc -l)"
echo "$fuzz_target: ${seconds}s, ${executions:-?} executions, ${findings} findings, exit status ${status}"
echo "corpus grown to $(find "$work/corpus" -type f | wc -l) inputs; log and findings kept in $work"
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  grep -E "ERROR|SUMMARY|==[0-9]+==" "$work/log" | head -n 20 || true
  find "$work/findings" -type f -print
  exit 1
fi

#!/usr/bin/env bash
# Installs what is missing, builds every build and runs every test:
# the portable core natively (plain and with ASan/UBSan), short fuzzing
# runs (decoder, SNMPv3 receiver), then the Windows builds (32-bit and
# 64-bit) with their tests under Wine on a virtual display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/display.sh"
cd "$DOVREL_ROOT"

bash scripts/install-deps.sh

jobs="$(nproc)"

echo "== native build and tests"
bash scripts/build.sh native
ctest --preset native -j"$jobs"

echo "== native build with AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh native-asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --preset native-asan -j"$jobs"

if [ -f tests/fuzz/CMakeLists.txt ] && [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing smoke run"
  bash scripts/fuzz.sh 30
  bash scripts/fuzz.sh 30 usm_receive
fi

echo "== Windows builds: 32-bit, then 64-bit (whose installer holds both)"
bash scripts/build.sh windows
WINEPREFIX="$(wine_prefix windows)"
export WINEPREFIX
# The 64-bit build runs every Wine test. The 32-bit build runs those where
# the programs' bitness can matter (unit tests with CNG, sockets, Finwin,
# the registry views, the 32-bit installer, a trap end to end): its whole
# suite, which restates the rest, takes as long again as the 64-bit one.
# DOVREL_X86_TESTS=all runs all of it.
x86_subset='_tests$|^cng_|^finwin_|^kalbrit_install_path$|^kalbrit_dialog$|^installer_|^deliverables_|^app_traps$'
echo "== windows-x86: tests under Wine${DOVREL_X86_TESTS:+ ($DOVREL_X86_TESTS)}"
if [ "${DOVREL_X86_TESTS:-}" = all ]; then
  on_display bash scripts/wine-tests.sh windows-x86
else
  on_display bash scripts/wine-tests.sh windows-x86 -R "$x86_subset"
fi
echo "== windows: tests under Wine"
on_display bash scripts/wine-tests.sh windows

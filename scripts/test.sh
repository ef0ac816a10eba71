#!/bin/bash
# Installs what is missing, builds both targets and runs every test: the unit and
# end-to-end tests of the x86_64 build under Wine, the static checks of the i686
# binaries, then the 32-bit stage: the i686 test programs that need 32 bits under
# 32-bit Wine (emulated, scripts/run32), and last the fuzzing smoke
# (scripts/fuzz.sh --smoke: build/fuzz with guard pages, a few thousand
# deterministic inputs per target). Fails on any failure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh run32
bash scripts/build.sh
source scripts/wine-session.sh
status=0
# The real-input tests last and alone: every other test's window would take the
# foreground from them.
ctest --test-dir build/x86_64 -j 4 -LE desktop --output-on-failure --timeout 300 || status=$?
ctest --test-dir build/x86_64 -L desktop --output-on-failure --timeout 300 || status=$?
started=$SECONDS
echo "32-bit stage (i686 tests under emulated 32-bit Wine):"
ctest --test-dir build/i686 -L run32 --output-on-failure || status=$?
echo "32-bit stage: $((SECONDS - started)) s"
started=$SECONDS
bash scripts/fuzz.sh --smoke || status=1
echo "fuzzing smoke: $((SECONDS - started)) s"
exit $status

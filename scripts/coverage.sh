#!/bin/bash
# Coverage: which code the x86_64 tests leave untouched. Builds an x86_64 tree
# with gcov counters (ORVEX_COVERAGE, default build/coverage), runs every test
# of the test command's first two steps in it under Wine, and has gcovr (with
# the MinGW toolchain's gcov) count lines and branches of the product sources
# (cwin/, converter/, plugin/, viewer/; tests and tools are left out). Prints a
# table per folder and writes an HTML report, BUILD_DIR/coverage/index.html.
# Not part of the test command: the instrumented run takes about as long as
# the test command itself. Usage: coverage.sh [BUILD_DIR] [ctest arguments]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=${1:-build/coverage}; shift || true
case "$dir" in /*) ;; *) dir="$root/$dir" ;; esac
bash scripts/install-deps.sh coverage
# Compiler caches rewrite the paths that gcov finds the sources by.
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON -DORVEX_COVERAGE=ON >/dev/null
cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)"
# Counters of an earlier run would be added to this one's.
find "$dir" -name '*.gcda' -delete
export ORVEX_WINEPREFIX="$dir/wine"
source scripts/wine-session.sh
status=0
ctest --test-dir "$dir" -j 4 -LE desktop --timeout 900 "$@" >"$dir/ctest.log" 2>&1 || status=$?
ctest --test-dir "$dir" -L desktop --timeout 900 "$@" >>"$dir/ctest.log" 2>&1 || status=$?
grep -E 'tests passed|tests failed' "$dir/ctest.log" || true
[ "$status" -eq 0 ] || echo "coverage: some tests failed (see $dir/ctest.log); the figures count what ran"
# The workers of a test program write their counters when the process ends.
wineserver -w >/dev/null 2>&1 || true
mkdir -p "$dir/coverage"
gcovr --root "$root" --object-directory "$dir" --gcov-executable x86_64-w64-mingw32-gcov \
      --filter "$root/cwin/" --filter "$root/converter/" --filter "$root/plugin/" --filter "$root/viewer/" \
      --exclude-unreachable-branches --exclude-throw-branches \
      --json-summary "$dir/coverage/summary.json" --html-details "$dir/coverage/index.html" \
      "$dir" >"$dir/coverage/gcovr.log" 2>&1 || { cat "$dir/coverage/gcovr.log"; exit 1; }
python3 scripts/coverage-table.py "$dir/coverage/summary.json"
echo "HTML report: $dir/coverage/index.html"

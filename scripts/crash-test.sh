#!/bin/bash
# The crash command: failures in the middle of saving, at length.
#  - every injection point (each create, write, flush, close and move failing,
#    each write also writing half) of fromZORB's run on a report of 100,000
#    rows, and of the list files' save on a year's tables (1,000,000 moves);
#  - a real full disk under fromZORB.exe and the list files (skipped without root);
#  - 200 kills of a host while SaveLists writes a year's tables.
# The test command runs the same on small inputs and with 20 kills.
#   scripts/crash-test.sh [KILLS]
# Exit status 1 when any list file or table was found neither old nor new, or
# any failure went unreported.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
kills=${1:-${ORVEX_CRASH_KILLS:-200}}
bash scripts/install-deps.sh
cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON >/dev/null 2>&1
cmake --build build/x86_64 -j 2 --target converter_tests plugin_root_tests crash_tests orvex_save_child \
      Orvex_DLL full_disk_lists fromZORB zorbgen >/dev/null
source scripts/wine-session.sh
prefix="$root/build/x86_64/wine"
bin=build/x86_64/bin
run() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
dir="$root/build/crash"
rm -rf "$dir" && mkdir -p "$dir"
win_dir="Z:$(echo "$dir" | tr / '\\')"
status=0

started=$SECONDS
run $bin/zorbgen.exe -seed 1 -positions 5000 -moves 100000 -days 365 -out "$win_dir" >/dev/null
echo "injection sweep, fromZORB on 100,000 report rows:"
rc=0
ORVEX_SWEEP_REPORT="$win_dir" run $bin/converter_tests.exe --gtest_brief=1 \
    --gtest_filter='WriteFaults.EveryFailingFileOperation*' >"$dir/sweep.txt" 2>&1 || rc=$?
# The converter's own console lines, one run per point, are left in sweep.txt.
grep -aE -A3 'injection points|Failure|PASSED|FAILED' "$dir/sweep.txt" || true
[ "$rc" = 0 ] || status=1
echo "injection sweep, the list files of a year:"
ORVEX_SWEEP_YEAR=1 run $bin/plugin_root_tests.exe --gtest_brief=1 \
    --gtest_filter='ListFilesAtTheDriveRoot.EveryFailingOperation*' || status=1
echo "sweeps: $((SECONDS - started)) s"

started=$SECONDS
echo "a real full disk:"
rc=0
bash tests/crash/full-disk.sh "$bin" "$prefix" || rc=$?
[ "$rc" = 0 ] || [ "$rc" = 77 ] || status=1
echo "full disk: $((SECONDS - started)) s"

started=$SECONDS
echo "$kills kills during SaveLists of a year:"
ORVEX_CRASH_KILLS=$kills run $bin/crash_tests.exe --gtest_brief=1 || status=1
echo "kills: $((SECONDS - started)) s"
exit $status

#!/bin/bash
# Benchmarks. Converter: reports of 100,000 and 1,000,000 move rows, the whole
# conversion against reading and decoding the same file alone. Plug-in
# store: a year of a large business (1,000,000 moves), figures and dynamics.
# Framework: the list view grid, the chart's redraws, the tree's text round trip.
# List pages: sorts, copy and the saved list of a year's moves (bench_pages).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
source scripts/wine-session.sh
dir="$root/build/bench"
rm -rf "$dir" && mkdir -p "$dir"
# Converter: 100,000 move rows over 5,000 positions, and a year of a large
# business, 1,000,000 rows over 10,000 positions (each in a process of its own,
# so that each peak is its own).
for size in "100000 5000" "1000000 10000"; do
    set -- $size
    mkdir -p "$dir/rows$1"
    win_dir="Z:$(echo "$dir/rows$1" | tr / '\\')"
    echo "converter, $1 move rows:"
    wine build/x86_64/bin/zorbgen.exe -seed 1 -positions "$2" -moves "$1" -days 365 -out "$win_dir" >/dev/null
    wine build/x86_64/bin/bench_convert.exe "$win_dir" 2>&1 >/dev/null
    echo
done
dir="$dir/rows100000"

echo
echo "plug-in store:"
(cd "$dir" && wine "$root/build/x86_64/bin/bench_plugin.exe")

echo
echo "list view grid (1,000,000 records):"
wine build/x86_64/bin/bench_listview.exe

echo
echo "chart (32 series of 100,000 points, redrawn after a zoom and after a scroll):"
wine build/x86_64/bin/bench_chart.exe

echo
echo "tree view (100,000 items saved to its text format and loaded back):"
(cd "$dir" && wine "$root/build/x86_64/bin/bench_tree.exe")

echo
echo "list pages (1,000,000 moves: header sorts, select all and copy, the list saved as CSV):"
pages="$root/build/bench/pages"
rm -rf "$pages" && mkdir -p "$pages"
(cd "$pages" && wine "$root/build/x86_64/bin/bench_pages.exe")

echo
echo "stand-in host with the plug-in (list files, refresh, pages, dynamics, report):"
ORVEX_BUILT=1 bash scripts/bench-host.sh

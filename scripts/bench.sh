#!/bin/bash
# Benchmarks. Converter: a report of 100,000 move rows over 5,000 positions, the
# whole conversion against reading and decoding the same file alone. Plug-in
# store: a year of a large business (1,000,000 moves), figures and dynamics.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
source scripts/wine-session.sh
dir="$root/build/bench"
rm -rf "$dir" && mkdir -p "$dir"
win_dir="Z:$(echo "$dir" | tr / '\\')"
wine build/x86_64/bin/zorbgen.exe -seed 1 -positions 5000 -moves 100000 -days 365 -out "$win_dir"
echo "report file: $(stat -c %s "$dir/ZORB_MVS.txt") bytes"
wine build/x86_64/bin/bench_convert.exe "$win_dir" >/dev/null

echo
echo "plug-in store:"
(cd "$dir" && wine "$root/build/x86_64/bin/bench_plugin.exe")

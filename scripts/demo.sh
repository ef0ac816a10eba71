#!/bin/bash
# The main job on embedded sample data: builds, generates a sample ZORB report and
# goods list into build/demo, runs fromZORB.exe there under Wine and shows what it wrote.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
source scripts/wine-session.sh
dir="$root/build/demo"
rm -rf "$dir" && mkdir -p "$dir"
win_dir="Z:$(echo "$dir" | tr / '\\')"
echo "== sample inputs (zorbgen) =="
wine build/x86_64/bin/zorbgen.exe -seed 2026 -positions 40 -moves 400 -days 31 -out "$win_dir"
echo
echo "== fromZORB.exe console output =="
(cd "$dir" && wine "$root/build/x86_64/bin/fromZORB.exe" | iconv -f cp1251 -t utf-8 | tr -d '\r')
echo; echo
for f in moves_type.txt Suppliers.txt Buyers.txt Positions.txt Moves.txt; do
    echo "== $f: $(wc -l < "$dir/$f") lines =="
    head -n 6 "$dir/$f" | iconv -f cp1251 -t utf-8 | tr -d '\r'
    echo
done
echo "(files in $dir; texts are code page 1251, the report ZORB_MVS.txt code page 866)"

#!/bin/bash
# fromZORB.exe of the i686 build, run end to end on a generated report of some
# thousands of move rows whose DIN products round differently on the x87, must
# print and write byte for byte what the x86_64 build does. The report comes
# from the x86_64 build's generator (zorbgen -awkward), whose doubles are IEEE.
# Usage: compare-converter.sh SOURCE_DIR X86_64_BIN_DIR I686_PROGRAM WORK_DIR
set -u
source_dir=$1 bin64=$2 program32=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
prefix64=$bin64/../wine
status=0
rm -rf "$work"; mkdir -p "$work/input" "$work/x86_64" "$work/i686"
"$source_dir/scripts/wine-run.sh" "$prefix64" "$bin64/zorbgen.exe" -awkward -seed 22 -positions 300 \
    -moves 4000 -days 60 -out "Z:$work/input" > "$work/zorbgen.txt" || { cat "$work/zorbgen.txt"; echo "zorbgen failed"; exit 1; }
awkward=$(sed -n 's/^awkward receipts: //p' "$work/zorbgen.txt" | tr -d '\r')
echo "report: $(sed -n 's/^move rows: //p' "$work/zorbgen.txt" | tr -d '\r'), of which awkward receipts: $awkward"
[ "${awkward:-0}" -ge 1000 ] || { echo "too few awkward receipts"; exit 1; }
cp "$work"/input/* "$work/x86_64/"
cp "$work"/input/* "$work/i686/"
(cd "$work/x86_64" && "$source_dir/scripts/wine-run.sh" "$prefix64" "$bin64/fromZORB.exe" > console.txt) ||
    { echo "x86_64 run failed"; status=1; }
bash "$here/run32.sh" run --bind "$source_dir" --bind "$(dirname "$program32")" --bind "$work" --timeout 300 \
    "$work/i686" -- "$program32" > "$work/i686/console.txt" || { echo "i686 run failed"; status=1; }
bash "$here/compare-folders.sh" "$work/x86_64" "$work/i686" \
    console.txt Suppliers.txt Buyers.txt Positions.txt Moves.txt || status=1
exit $status

#!/bin/bash
# The same host calls in the x86_64 and the i686 build must leave byte-identical
# list files. Usage: compare-list-files.sh SOURCE_DIR X86_64_PROGRAM I686_PROGRAM WORK_DIR
set -u
source_dir=$1 program64=$2 program32=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"; mkdir -p "$work/x86_64" "$work/i686"
filter=--gtest_filter=ListImage.*
# The x86_64 build under the machine's Wine, in the x86_64 tree's prefix.
ORVEX_LIST_IMAGE_DIR="Z:$work/x86_64" "$source_dir/scripts/wine-run.sh" "$(dirname "$program64")/../wine" \
    "$program64" "$filter" --gtest_color=no || { echo "x86_64 run failed"; exit 1; }
bash "$here/run32.sh" run --bind "$source_dir" --bind "$(dirname "$program32")" --bind "$work" \
    --env "ORVEX_LIST_IMAGE_DIR=Z:$work/i686" --timeout 300 "$(dirname "$program32")" -- \
    "$program32" "$filter" --gtest_color=no || { echo "i686 run failed"; exit 1; }
status=0
for name in GNList.dat SNList.dat GMList.dat GDList.dat; do
    a=$work/x86_64/$name b=$work/i686/$name
    if [ ! -s "$a" ] || [ ! -s "$b" ]; then
        echo "$name: missing (x86_64: $(stat -c %s "$a" 2>/dev/null), i686: $(stat -c %s "$b" 2>/dev/null))"
        status=1
    elif cmp "$a" "$b"; then
        echo "$name: $(stat -c %s "$a") bytes, identical"
    else
        cmp -l "$a" "$b" | head -n 20
        status=1
    fi
done
exit $status

#!/bin/bash
# The same host calls in the x86_64 and the i686 build must leave byte-identical
# list files and reports: the awkward values' figures (CrossBuild.*) round
# differently wherever a build keeps intermediates in x87 registers.
# Usage: compare-list-files.sh SOURCE_DIR X86_64_PROGRAM I686_PROGRAM WORK_DIR
set -u
source_dir=$1 program64=$2 program32=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
status=0
rm -rf "$work"; mkdir -p "$work/x86_64" "$work/i686"
filter=--gtest_filter=ListImage.*:CrossBuild.*
# The x86_64 build under the machine's Wine, in the x86_64 tree's prefix.
ORVEX_LIST_IMAGE_DIR="Z:$work/x86_64" "$source_dir/scripts/wine-run.sh" "$(dirname "$program64")/../wine" \
    "$program64" "$filter" --gtest_color=no || { echo "x86_64 run failed"; exit 1; }
bash "$here/run32.sh" run --bind "$source_dir" --bind "$(dirname "$program32")" --bind "$work" \
    --env "ORVEX_LIST_IMAGE_DIR=Z:$work/i686" --timeout 300 "$(dirname "$program32")" -- \
    "$program32" "$filter" --gtest_color=no || { echo "i686 run failed"; status=1; }
bash "$here/compare-folders.sh" "$work/x86_64" "$work/i686" \
    GNList.dat SNList.dat GMList.dat GDList.dat \
    awkward/GNList.dat awkward/SNList.dat awkward/GMList.dat awkward/GDList.dat \
    $(cd "$work/x86_64" && ls awkward/GoodsDinamic-*.html 2>/dev/null) || status=1
exit $status

#!/bin/bash
# Benchmark of the stand-in host with the plug-in on a year of a large business
# (10,000 goods, 500 suppliers, 1,000,000 moves over 365 dates). A first run
# feeds the tables and saves the list files; the timed session then starts with
# those list files present: AttachHost (loading them), RefreshLists, the first
# screen of the movements list, BuildDynamics of the supplier with the most
# goods with its first screen, the report of its first row; and the peak memory.
# Run by bench.sh after the build; alone it builds first.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -z "${ORVEX_BUILT:-}" ]; then
    bash scripts/install-deps.sh demo
    bash scripts/build.sh >/dev/null
fi
source scripts/wine-session.sh
# The demo's prefix: there the report's open request renders a PNG, it starts
# no browser window.
export WINEPREFIX="$root/build/x86_64/wine-demo"
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true; WINEPREFIX="$root/build/x86_64/wine" stop_session' EXIT
bash scripts/register-report-viewer.sh

dir="$root/build/bench-host"
rm -rf "$dir" && mkdir -p "$dir/tables" "$dir/session"
most=$(python3 tools/make_year_tables.py "$dir/tables")
echo "tables: $(($(wc -l < "$dir/tables/Moves.txt") - 1)) moves, $(stat -c %s "$dir/tables/Moves.txt") bytes; most goods: supplier $most"
host="$root/build/x86_64/bin/OrvexHost.exe"
drive_c="$WINEPREFIX/drive_c"
rm -f "$drive_c"/G[NMD]List.dat "$drive_c"/SNList.dat

echo "== feeding the tables (not the benchmark) =="
(cd "$dir/tables" && wine "$host" -time -quit) | grep -E '^(time|fed|peak)' | tr -d '\r'
for f in GNList.dat SNList.dat GMList.dat GDList.dat; do
    [ -f "$drive_c/$f" ] && cp "$drive_c/$f" "$dir/session/"
done
ls -l "$dir/session" | awk 'NR>1 {print "list file", $9, $5, "bytes"}'

echo "== session with the list files present =="
export ORVEX_REPORT_PNG="$dir/GoodsDinamic.png"
(cd "$dir/session" && wine "$host" -nofeed -time -tab 2 -tab 4 -supplier "$most" -build -dblclick 0 -quit) \
    | iconv -f cp1251 -t utf-8 | tr -d '\r'

#!/bin/bash
# The main job on embedded sample data: builds, generates a sample ZORB report and
# goods list into build/demo, runs fromZORB.exe there, then the stand-in host
# OrvexHost.exe with Orvex_DLL.dll on the converter's tables. The host shows every
# page as a user first sees it (identifiers as codes), the movements sorted by
# goods code with a click on that column's header, builds the dynamics of the supplier
# with the most goods and double-clicks its first goods row; the plug-in writes
# GoodsDinamic.html and opens it through the ".html" association, which here
# renders it with headless Chromium.
# Pictures land in build/demo/pictures (PNG); their paths are printed at the end.
# With --update-guide they also replace the user guide's (docs/guide/images).
set -eu
update_guide=0
[ "${1:-}" = --update-guide ] && update_guide=1
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh demo
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
echo

# The host runs in a prefix of its own: its ".html" association is changed, and
# the tests' prefix keeps Wine's.
export WINEPREFIX="$root/build/x86_64/wine-demo"
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true; WINEPREFIX="$root/build/x86_64/wine" stop_session' EXIT
bash scripts/register-report-viewer.sh
pictures="$dir/pictures"
mkdir -p "$pictures"
export ORVEX_REPORT_PNG="$pictures/GoodsDinamic.png" ORVEX_REPORT_LOG="$dir/open-requests.txt"

echo "== OrvexHost.exe with Orvex_DLL.dll (as it starts: identifiers shown as codes) =="
status=0
(cd "$dir" && wine "$root/build/x86_64/bin/OrvexHost.exe" \
    -tab 0 -menushot menu.bmp -shot goods.bmp -tab 1 -shot suppliers.bmp -tab 2 -sort 1 -shot movements.bmp \
    -tab 3 -shot balances.bmp -tab 4 -supplier most -build -shot dynamics.bmp \
    -dblclick 0 -quit) | iconv -f cp1251 -t utf-8 | tr -d '\r' || status=$?
echo
for page in menu goods suppliers movements balances dynamics; do
    if [ -f "$dir/$page.bmp" ]; then
        bmptopnm "$dir/$page.bmp" 2>/dev/null | pnmtopng > "$pictures/$page.png"
        rm -f "$dir/$page.bmp"
    fi
done
# The open request starts the renderer and returns; wait for its picture.
for _ in $(seq 120); do
    [ -f "$ORVEX_REPORT_PNG" ] && break
    sleep 0.5
done
if [ -f "$dir/GoodsDinamic.html" ]; then
    echo "== GoodsDinamic.html: first rows =="
    head -n 12 "$dir/GoodsDinamic.html" | iconv -f cp1251 -t utf-8 | tr -d '\r'
    echo
fi
[ -f "$ORVEX_REPORT_LOG" ] && echo "open request: $(cat "$ORVEX_REPORT_LOG")"
echo "== pictures =="
missing=0
for picture in menu goods suppliers movements balances dynamics GoodsDinamic; do
    if [ -s "$pictures/$picture.png" ]; then
        echo "$pictures/$picture.png"
    else
        echo "missing: $pictures/$picture.png"; missing=1
    fi
done
[ "$status" -eq 0 ] && [ "$missing" -eq 0 ] || { echo "the job did not finish cleanly"; exit 1; }
if [ "$update_guide" = 1 ]; then
    for picture in menu goods suppliers movements balances dynamics; do
        cp "$pictures/$picture.png" "$root/docs/guide/images/$picture.png"
    done
    cp "$pictures/GoodsDinamic.png" "$root/docs/guide/images/report.png"
    echo "the guide's pictures were replaced (docs/guide/images)"
fi

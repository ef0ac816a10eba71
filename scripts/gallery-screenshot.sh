#!/bin/bash
# Builds the gallery, runs it under Xvfb and Wine once per view and saves a
# screenshot of the screen per view as PNG: controls (basic and range controls,
# the tabbed grid), chart, tree, bars (tool bar with labels, resize bar between
# two panes) and mdi (an MDI client with two children).
# Usage: gallery-screenshot.sh [OUT_DIR]  (default build/gallery)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-$root/build/gallery}
bash scripts/install-deps.sh
if [ ! -f build/x86_64/CMakeCache.txt ]; then
    cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON >/dev/null
fi
cmake --build build/x86_64 -j 2 --target gallery
source scripts/wine-session.sh
mkdir -p "$out"
for view in controls chart tree bars mdi; do
    wine build/x86_64/bin/gallery.exe -view $view >/dev/null 2>&1 &
    gallery_pid=$!
    # Wait for the window to be mapped, then give it a moment to paint (the
    # chart's stream series moves on with a timer).
    for _ in $(seq 100); do
        xwininfo -root -tree 2>/dev/null | grep -q 'CWin gallery' && break
        sleep 0.2
    done
    sleep 3
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$out/$view.png"
    kill "$gallery_pid" 2>/dev/null || true
    wait "$gallery_pid" 2>/dev/null || true
    # The next view starts on an empty screen.
    for _ in $(seq 50); do
        xwininfo -root -tree 2>/dev/null | grep -q 'CWin gallery' || break
        sleep 0.2
    done
    echo "screenshot: $out/$view.png"
done

#!/bin/bash
# Builds the gallery, runs it under Xvfb and Wine and saves a screenshot of the
# screen as PNG. Usage: gallery-screenshot.sh [OUT.png]  (default build/gallery.png)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-$root/build/gallery.png}
bash scripts/install-deps.sh
if [ ! -f build/x86_64/CMakeCache.txt ]; then
    cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
          -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON >/dev/null
fi
cmake --build build/x86_64 -j 2 --target gallery
source scripts/wine-session.sh
wine build/x86_64/bin/gallery.exe >/dev/null 2>&1 &
gallery_pid=$!
# Wait for the window to be mapped, then give it a moment to paint.
for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q 'CWin gallery' && break
    sleep 0.2
done
sleep 2
mkdir -p "$(dirname "$out")"
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$out"
kill "$gallery_pid" 2>/dev/null || true
wait "$gallery_pid" 2>/dev/null || true
echo "screenshot: $out"

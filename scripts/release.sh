#!/bin/bash
# The release: from the committed tree (HEAD), the i686 programs built twice in
# two fresh folders, packaged twice (scripts/package.sh), and the two results
# compared byte for byte; then dist/Orvex-<version>-win32.zip and
# dist/Orvex-<version>-setup.exe. Times are pinned to the commit's time.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "note: uncommitted changes are not in the release (it is built from HEAD)"
export SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
work=$root/build/release
rm -rf "$work"
jobs=$(nproc 2>/dev/null || echo 2)
for copy in a b; do
    mkdir -p "$work/src-$copy"
    git archive HEAD | tar -x -C "$work/src-$copy"
    cmake -S "$work/src-$copy" -B "$work/build-$copy" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
        -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/build-$copy" -j "$jobs" --target fromZORB Orvex_DLL OrvexHost >/dev/null
    bash "$work/src-$copy/scripts/package.sh" "$work/build-$copy" "$work/dist-$copy" >/dev/null
done
status=0
for file in "$work"/dist-a/*.zip "$work"/dist-a/*.exe; do
    if cmp -s "$file" "$work/dist-b/$(basename "$file")"; then
        echo "reproducible: $(basename "$file")"
    else
        echo "NOT reproducible: $(basename "$file")"; status=1
    fi
done
for program in fromZORB.exe Orvex_DLL.dll OrvexHost.exe; do
    cmp -s "$work/build-a/bin/$program" "$work/build-b/bin/$program" || { echo "NOT reproducible: $program"; status=1; }
done
[ $status = 0 ] || exit 1
mkdir -p dist
cp "$work"/dist-a/*.zip "$work"/dist-a/*.exe dist/
(cd dist && for file in *.zip *.exe; do echo "$(stat -c %s "$file") bytes  $(sha256sum "$file")"; done)

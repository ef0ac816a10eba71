#!/bin/bash
# Makes the two packages of a release from a tree of built i686 programs:
#   OUT/Orvex-<version>-win32.zip   the folder Orvex-<version> with the programs,
#                                   the default moves_type.txt, the guide Guide.html
#                                   with its pictures, ReadMe.txt and SHA256SUMS
#   OUT/Orvex-<version>-setup.exe   the Russian installer (NSIS)
# Usage: package.sh BUILD_DIR OUT_DIR. The version is the build's own (its
# generated OrvexVersion.h). Every time in the packages is SOURCE_DATE_EPOCH
# (default: the time of the last commit), so one commit gives the same bytes.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd) out=$2
version=$(sed -n 's/^#define ORVEX_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/OrvexVersion.h")
[ -n "$version" ] || { echo "package: no version in $build/generated/OrvexVersion.h" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
name=Orvex-$version
mkdir -p "$out"
out=$(cd "$out" && pwd)
stage=$out/stage/$name
rm -rf "$out/stage" "$out/$name-win32.zip" "$out/$name-setup.exe"
mkdir -p "$stage/images"

for program in OrvexHost.exe fromZORB.exe Orvex_DLL.dll; do
    cp "$build/bin/$program" "$stage/"
done
cp "$root/packaging/moves_type.txt" "$stage/"
# What the staff read is code page 1251 (iconv fails on a character it lacks).
# The files get ASCII names: unzip tools that ignore the zip's UTF-8 flag
# garble Cyrillic ones, and the viewer's F1 would then find no guide.
iconv -f utf-8 -t cp1251 "$root/docs/guide/guide.html" > "$stage/Guide.html"
sed 's/\r*$/\r/' "$root/docs/guide/readme.txt" | iconv -f utf-8 -t cp1251 > "$stage/ReadMe.txt"
cp "$root"/docs/guide/images/*.png "$stage/images/"
(cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
    xargs -d '\n' sha256sum > SHA256SUMS)
find "$out/stage" -exec touch -h -d "@$epoch" {} +

# The zip: entries in name order, times and attributes pinned; every name ASCII.
python3 - "$out/stage" "$name" "$out/$name-win32.zip" "$epoch" <<'PY'
import os, sys, time, zipfile
stage, name, target, epoch = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
stamp = time.gmtime(max(epoch, 315532800))[:6]
paths = []
for folder, dirs, files in os.walk(os.path.join(stage, name)):
    rel = os.path.relpath(folder, stage)
    paths.append(rel + "/")
    paths += [os.path.join(rel, f) for f in files]
with zipfile.ZipFile(target, "w") as archive:
    for path in sorted(paths):
        if not path.isascii():
            sys.exit("package: a file name that is not ASCII: " + path)
        info = zipfile.ZipInfo(path, stamp)
        info.create_system = 0
        if path.endswith("/"):
            info.external_attr = 0x10
            archive.writestr(info, b"")
        else:
            info.external_attr = 0x20
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(os.path.join(stage, path), "rb") as f:
                archive.writestr(info, f.read(), compresslevel=9)
PY

# The installer's lists: every file it puts there, and the same removed.
nsis=$out/stage/nsis
mkdir -p "$nsis"
{
    current=
    (cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | while read -r file; do
        dir=$(dirname "$file"); [ "$dir" = . ] && dir= || dir="\\$dir"
        if [ "$dir" != "$current" ] || [ -z "${started:-}" ]; then
            echo "  SetOutPath \"\$INSTDIR$dir\""; current=$dir; started=1
        fi
        echo "  File \"$stage/$file\""
    done
} > "$nsis/files.nsh"
{
    (cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | while read -r file; do
        echo "  Delete \"\$INSTDIR\\$(echo "$file" | tr / '\\')\""
    done
    (cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | LC_ALL=C sort -r) | while read -r dir; do
        echo "  RMDir \"\$INSTDIR\\$(echo "$dir" | tr / '\\')\""
    done
} > "$nsis/unfiles.nsh"
IFS=. read -r major minor patch <<< "$version"
makensis -V2 -INPUTCHARSET UTF8 -NOCD "-X!addincludedir $nsis" \
    -DVERSION="$version" -DVERSION4="$major.$minor.$patch.0" -DSTAGE="$stage" \
    -DOUTFILE="$out/$name-setup.exe" "$root/packaging/installer.nsi" >/dev/null
touch -d "@$epoch" "$out/$name-win32.zip" "$out/$name-setup.exe"
echo "$out/$name-win32.zip: $(stat -c %s "$out/$name-win32.zip") bytes"
echo "$out/$name-setup.exe: $(stat -c %s "$out/$name-setup.exe") bytes"

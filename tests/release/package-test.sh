#!/bin/bash
# The release packages of the i686 build, used as a staff member uses them,
# under 32-bit Wine (scripts/run32):
#   - packaging twice gives the same bytes;
#   - the zip's names are ASCII (unzip tools that ignore its UTF-8 flag keep
#     them), the guide beside the viewer under the name its F1 opens;
#   - the zip unpacked into an empty folder: SHA256SUMS holds, the versions in
#     the programs' resources, the converter run on a generated report, the
#     viewer run on its tables with Orvex_DLL.dll beside it;
#   - the installer run silently into a fresh prefix, the installed programs
#     run (the viewer writes nothing to c:\), the uninstaller run silently:
#     nothing of the package is left, and the user's tables and list files are
#     as they were.
# Usage: package-test.sh SOURCE_DIR BUILD_DIR WORK_DIR
set -u
source_dir=$1 build=$2 work=$3
run32="bash $source_dir/scripts/run32/run32.sh run"
rm -rf "$work"; mkdir -p "$work"
failures=0
check() {   # check "what" command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Packaging twice: the same bytes.
export SOURCE_DATE_EPOCH=1767225600
bash "$source_dir/scripts/package.sh" "$build" "$work/dist" || exit 1
bash "$source_dir/scripts/package.sh" "$build" "$work/dist2" >/dev/null || exit 1
version=$(sed -n 's/^#define ORVEX_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/OrvexVersion.h")
zip=$work/dist/Orvex-$version-win32.zip setup=$work/dist/Orvex-$version-setup.exe
check "the zip is reproducible" cmp "$zip" "$work/dist2/Orvex-$version-win32.zip"
check "the installer is reproducible" cmp "$setup" "$work/dist2/Orvex-$version-setup.exe"

# The zip's names, as any unzip tool reads them: ASCII only.
check "every name in the zip is ASCII" python3 -c '
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
bad = [n for n in names if not n.isascii()]
print("\n".join("not ASCII: " + n for n in bad))
sys.exit(1 if bad or not names else 0)' "$zip"
# The zip into an empty folder.
mkdir -p "$work/unzipped"
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' "$zip" "$work/unzipped"
app=$work/unzipped/Orvex-$version
check "the zip holds the programs, the guide and the readme" test -f "$app/OrvexHost.exe" -a -f "$app/fromZORB.exe" \
    -a -f "$app/Orvex_DLL.dll" -a -f "$app/moves_type.txt" -a -f "$app/Guide.html" -a -f "$app/ReadMe.txt" \
    -a -f "$app/images/menu.png"
check "the viewer's F1 opens the guide by the name it has in the zip" grep -qa 'Guide\.html' "$app/OrvexHost.exe"
check "the readme is code page 1251 and names the guide" bash -c \
    "iconv -f cp1251 -t utf-8 '$app/ReadMe.txt' | grep -q 'Guide.html'"
check "SHA256SUMS holds for every file" bash -c "cd '$app' && sha256sum --quiet -c SHA256SUMS"
check "SHA256SUMS names every file" bash -c "cd '$app' && [ \$(find . -type f ! -name SHA256SUMS | wc -l) = \$(wc -l < SHA256SUMS) ]"
check "the guide declares its code page and is code page 1251" bash -c \
    "grep -q 'charset=\"\\?windows-1251' '$app/Guide.html' && iconv -f cp1251 -t utf-8 '$app/Guide.html' | grep -q 'Руководство'"

# A generated report converted by the unpacked converter, in the report's folder.
data=$work/data
mkdir -p "$data"
$run32 --bind "$build/bin" --bind "$work" "$data" -- "$build/bin/zorbgen.exe" -seed 7 -positions 30 -moves 300 \
    -days 20 -out "Z:$(echo "$data" | tr / '\\')" >/dev/null
$run32 --bind "$work" "$data" -- "$app/fromZORB.exe" > "$work/convert.txt" 2>&1
check "the unpacked converter converts the report" grep -q "Import moves ... (300) Ok" "$work/convert.txt"
check "the shipped moves_type.txt is the converter's own default" cmp "$data/moves_type.txt" "$app/moves_type.txt"
check "the converter wrote the four tables" test -s "$data/Moves.txt" -a -s "$data/Positions.txt" \
    -a -s "$data/Suppliers.txt" -a -s "$data/Buyers.txt"
$run32 --bind "$work" "$data" -- "$app/OrvexHost.exe" -version > "$work/version.txt" 2>&1
for program in OrvexHost.exe Orvex_DLL.dll fromZORB.exe; do
    check "$program carries version $version in its resource" grep -q "^$program $version" "$work/version.txt"
done
$run32 --bind "$work" "$data" -- "$app/OrvexHost.exe" -tab 4 -supplier most -build -quit > "$work/view.txt" 2>&1
check "the unpacked viewer shows the tables with the library beside it" grep -q "^fed: 30 goods" "$work/view.txt"
check "the viewer builds the dynamics" grep -q "^dynamics built: [1-9]" "$work/view.txt"

# The installer, silent, into a fresh prefix; the programs it installed; the
# uninstaller, silent.
prefix=$work/prefix
drive=$prefix/drive_c
in_prefix() { $run32 --bind "$work" --env "WINEPREFIX=$prefix" --timeout 300 "$work" -- "$@"; }
cp "$setup" "$work/setup.exe"
in_prefix wine cmd /c exit >/dev/null 2>&1
# The user's files, which the uninstaller must leave alone.
mkdir -p "$drive/Tables"
cp "$data"/*.txt "$drive/Tables/"
printf 'old list' > "$drive/GNList.dat"
before=$(cd "$drive" && sha256sum Tables/* GNList.dat)
in_prefix wine "$work/setup.exe" /S '/D=C:\Orvex' > "$work/install.txt" 2>&1
check "the installer put the programs into the chosen folder" test -f "$drive/Orvex/OrvexHost.exe" \
    -a -f "$drive/Orvex/fromZORB.exe" -a -f "$drive/Orvex/Orvex_DLL.dll" -a -f "$drive/Orvex/uninstall.exe"
check "the installed files are the packaged ones" bash -c "cd '$drive/Orvex' && sha256sum --quiet -c SHA256SUMS"
check "the installed guide is beside the viewer under the name its F1 opens" test -f "$drive/Orvex/Guide.html"
menu=$(find "$drive" -ipath '*start menu/programs/orvex' -type d | head -n 1)
check "the Start menu holds the viewer, the guide and the uninstaller" bash -c \
    "[ -n '$menu' ] && [ \$(ls '$menu' | grep -c '\\.lnk\$') = 3 ]"
check "the uninstaller is registered" grep -q 'Uninstall\\\\Orvex' "$prefix/system.reg"
in_prefix wine 'C:\Orvex\fromZORB.exe' >/dev/null 2>&1   # run in $work: no report there
$run32 --bind "$work" --env "WINEPREFIX=$prefix" "$drive/Tables" -- wine 'C:\Orvex\OrvexHost.exe' -quit \
    > "$work/installed-view.txt" 2>&1
check "the installed viewer shows the user's tables" grep -q "^fed: 30 goods" "$work/installed-view.txt"
check "the installed viewer writes no list file to c:\\" bash -c \
    "[ ! -e '$drive/GMList.dat' ] && [ ! -e '$drive/SNList.dat' ] && [ \"\$(cat '$drive/GNList.dat')\" = 'old list' ]"
# The uninstaller copied out, as Windows runs it, and told where it removes.
cp "$drive/Orvex/uninstall.exe" "$work/un.exe"
in_prefix wine "$work/un.exe" /S '_?=C:\Orvex' > "$work/uninstall.txt" 2>&1
check "nothing of the package is left in its folder" test ! -e "$drive/Orvex"
check "nothing of the package is left in the Start menu" bash -c "[ -z '$menu' ] || [ ! -e '$menu' ]"
check "the uninstaller is no longer registered" bash -c "! grep -q 'Uninstall\\\\\\\\Orvex' '$prefix/system.reg'"
after=$(cd "$drive" && sha256sum Tables/* GNList.dat 2>/dev/null)
check "the user's tables and list file are untouched" test "$before" = "$after"

echo "package test: $failures failed"
[ "$failures" = 0 ]

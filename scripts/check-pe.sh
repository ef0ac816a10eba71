#!/bin/bash
# Static check of a built Windows binary: machine type, and imports from system
# DLLs only (no MinGW runtime DLLs). Usage: check-pe.sh FILE i386|x86-64 [EXPORT...]
set -u
export LC_ALL=C LANG=C   # objdump output is parsed
file=$1; machine=$2; shift 2
case "$machine" in
    i386)   objdump=i686-w64-mingw32-objdump;   want="pei-i386" ;;
    x86-64) objdump=x86_64-w64-mingw32-objdump; want="pei-x86-64" ;;
    *) echo "unknown machine $machine"; exit 2 ;;
esac
[ -f "$file" ] || { echo "FAIL: $file not built"; exit 1; }
fail=0
format=$($objdump -f "$file" | sed -n 's/.*file format \(.*\)$/\1/p')
if [ "$format" != "$want" ]; then
    echo "FAIL: $file is '$format', not $want"; fail=1
else
    echo "ok: $file is $format"
fi
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|msvcrt|psapi|uxtheme|version|shlwapi)\.dll$'
while read -r dll; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    if [[ "$lower" =~ $allowed ]]; then
        echo "ok: imports $dll"
    else
        echo "FAIL: imports $dll"; fail=1
    fi
done < <($objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
for export in "$@"; do
    if $objdump -p "$file" | grep -Eq "^\s*\[ *[0-9]+\] +$export\$"; then
        echo "ok: exports $export undecorated"
    else
        echo "FAIL: no undecorated export $export"; fail=1
    fi
done
exit $fail

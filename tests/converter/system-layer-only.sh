#!/bin/bash
# The console converter links the framework's system layer only: no window
# object model, controls, composite controls, application frame, control
# factory or file dialog in fromZORB.exe, and none of the system DLLs they
# bring (common controls and dialogs, GDI, shell, COM).
# Usage: system-layer-only.sh FILE i386|x86-64
set -u
export LC_ALL=C LANG=C   # tool output is parsed
file=$1; machine=$2
case "$machine" in
    i386)   tools=i686-w64-mingw32 ;;
    x86-64) tools=x86_64-w64-mingw32 ;;
    *) echo "unknown machine $machine"; exit 2 ;;
esac
[ -f "$file" ] || { echo "FAIL: $file not built"; exit 1; }
fail=0

# Classes of the layers above cwin/system (window, controls, composite, frame)
# and the system layer's dialog class.
classes='CBaseWindow|CImageLists|CAppFrame|CSplash|CCustom|CDialog|CButton|CStatic|CEditBox|CListBox'
classes+='|CComboBox|CScrollBar|CProgBar|CTrackBar|CUpDown|CDTPControl|CGraph|CListView|CTControl'
classes+='|CTreeView|CTreeMirror|CToolBar|CReBar|CReSizeBar|CMDI_Child|CFileChooser'
symbols=$("$tools-nm" -C "$file") || { echo "FAIL: cannot read the symbols of $file"; exit 1; }
# A stripped file would pass for want of symbols: the converter's own must be there.
grep -q 'CReportConverter::Run' <<<"$symbols" || { echo "FAIL: $file has no symbols to check"; exit 1; }
found=$(grep -Eo "\b($classes)\b" <<<"$symbols" | sort | uniq -c)
if [ -n "$found" ]; then
    echo "FAIL: code of classes above the system layer (symbol count, class):"
    echo "$found"
    fail=1
else
    echo "ok: no code of classes above the system layer"
fi

imports=$("$tools-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAIL: no imports read from $file"; exit 1; }
for dll in $imports; do
    case "$dll" in
        comctl32.dll|comdlg32.dll|gdi32.dll|shell32.dll|ole32.dll)
            echo "FAIL: imports $dll"; fail=1 ;;
        *) echo "ok: imports $dll" ;;
    esac
done
exit $fail

#!/bin/bash
# The layer check on the tree as it is (no faults), and on copies of the
# framework with one fault each, which it must find.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
check="$root/scripts/check-layers.py"
fail=0
python3 "$check" "$root" || { echo "FAIL: the tree breaks its layers"; fail=1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# name | file to change | line to add | text the report must hold
cases=(
  "window includes frame|cwin/window/BaseWindow.cpp|#include \"cwin/frame/AppFrame.h\"|of the higher layer frame"
  "controls include composite|cwin/controls/Graph.h|#include \"cwin/composite/ListView.h\"|of the higher layer composite"
  "system includes window|cwin/system/RecordArray.cpp|#include \"cwin/window/Window.h\"|of the higher layer window"
  "converter includes controls|converter/main.cpp|#include \"cwin/controls/ProgBar.h\"|of the higher layer controls"
  "store includes frame|plugin/store/GoodsStore.cpp|#include \"cwin/frame/AppFrame.h\"|of the higher layer frame"
  "bare framework include|plugin/window/PluginApp.cpp|#include \"BaseWindow.h\"|without its layer"
  "wrong layer named|tests/support/TestSupport.cpp|#include \"cwin/system/ListView.h\"|no such framework header"
  "library links upwards|cwin/CMakeLists.txt|target_link_libraries(cwin_controls PUBLIC cwin_frame)|cwin_controls links cwin_frame"
)
for c in "${cases[@]}"; do
    IFS='|' read -r name file line expected <<<"$c"
    rm -rf "$work/tree" && mkdir -p "$work/tree/plugin" "$work/tree/tests"
    cp -r "$root/cwin" "$root/converter" "$work/tree/"
    cp -r "$root/plugin/store" "$root/plugin/window" "$work/tree/plugin/"
    cp -r "$root/tests/support" "$work/tree/tests/"
    python3 "$check" "$work/tree" >/dev/null || { echo "FAIL: $name: the unchanged copy has faults"; fail=1; continue; }
    echo "$line" >>"$work/tree/$file"
    report=$(python3 "$check" "$work/tree")
    status=$?
    if [ $status -ne 1 ] || ! grep -qF "$expected" <<<"$report"; then
        echo "FAIL: $name: exit $status, report:"; echo "$report"; fail=1
    else
        echo "ok: $name"
    fi
done
exit $fail

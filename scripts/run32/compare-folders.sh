#!/bin/bash
# compare-folders.sh A B NAME...: every NAME must be present in both folders
# with the same bytes; the differing bytes of a file are listed (at most 20).
set -u
a=$1 b=$2; shift 2
status=0
[ $# -gt 0 ] || { echo "nothing to compare"; exit 1; }
for name in "$@"; do
    if [ ! -s "$a/$name" ] || [ ! -s "$b/$name" ]; then
        echo "$name: missing (x86_64: $(stat -c %s "$a/$name" 2>/dev/null), i686: $(stat -c %s "$b/$name" 2>/dev/null))"
        status=1
    elif cmp -s "$a/$name" "$b/$name"; then
        echo "$name: $(stat -c %s "$a/$name") bytes, identical"
    else
        echo "$name: differs (offset, x86_64 byte, i686 byte in octal):"
        cmp -l "$a/$name" "$b/$name" | head -n 20
        status=1
    fi
done
exit $status

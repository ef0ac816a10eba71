#!/bin/bash
# A real full disk: a small tmpfs, mapped as a Wine drive, fills while
# fromZORB.exe writes its tables (8, 64 and 96 KB left) and while list files are
# saved on it. The converter must exit non-zero with "<file> NOT written... ",
# and every table must keep its old bytes (all four are replaced together or
# not at all) and every list file its old bytes or the whole new ones,
# with no temporary file left. Usage: full-disk.sh BIN_DIR WINE_PREFIX.
# Exits 77 (skipped) where a file system cannot be mounted (not root).
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "$1" && pwd) prefix=$2
run() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
if [ "$(id -u)" != 0 ]; then
    echo "SKIP: mounting a small file system needs root"
    exit 77
fi
mnt=$(mktemp -d /tmp/orvex-full-disk.XXXXXX)
if ! mount -t tmpfs -o size=2m tmpfs "$mnt" 2>/dev/null; then
    echo "SKIP: a tmpfs cannot be mounted here"
    rmdir "$mnt"
    exit 77
fi
ref=$(mktemp -d /tmp/orvex-full-ref.XXXXXX)
drive=
for letter in t u v w x y; do
    if [ ! -e "$prefix/dosdevices/$letter:" ] && [ ! -L "$prefix/dosdevices/$letter:" ]; then
        drive=$letter
        break
    fi
done
cleanup() {
    [ -n "$drive" ] && rm -f "$prefix/dosdevices/$drive:"
    umount "$mnt" && rmdir "$mnt"
    rm -rf "$ref"
}
trap cleanup EXIT
[ -n "$drive" ] || { echo "FAIL: no free drive letter in $prefix/dosdevices"; exit 1; }
ln -s "$mnt" "$prefix/dosdevices/$drive:"
fail=0
tables="Suppliers.txt Buyers.txt Positions.txt Moves.txt"

# The whole run on an ordinary disk gives the new tables.
(cd "$ref" && run "$bin/zorbgen.exe" -seed 7 -positions 200 -moves 4000 -days 120 -out . >/dev/null) || exit 1
(cd "$ref" && run "$bin/fromZORB.exe" >console.txt) || { echo "FAIL: the run on an ordinary disk"; exit 1; }

# Leaves `1` KB free on the small file system.
leave() {
    local avail
    avail=$(df -B1 --output=avail "$mnt" | tail -n 1)
    fallocate -l $((avail - $1 * 1024)) "$mnt/filler"
}

for left in 8 64 96; do
    rm -rf "${mnt:?}"/*
    cp "$ref/Номенкл.csv" "$ref/ZORB_MVS.txt" "$ref/moves_type.txt" "$mnt/"
    for t in $tables; do printf 'old %s\r\n' "$t" >"$mnt/$t"; done
    leave "$left"
    (cd "$mnt" && run "$bin/fromZORB.exe" >"$ref/full.txt")
    code=$?
    said=$(tail -c 40 "$ref/full.txt" | tr -d '\r\n')
    line="$left KB left: exit $code, console ends \"$said\""
    if [ "$code" = 0 ] || ! grep -q ' NOT written\.\.\. $' "$ref/full.txt"; then
        echo "FAIL: $line"
        fail=1
    fi
    # The four tables are replaced all or none: a failed run leaves all four old.
    for t in $tables; do
        if cmp -s "$mnt/$t" "$ref/$t"; then
            line+=", $t NEW"
            fail=1
        elif [ "$(cat "$mnt/$t")" = "$(printf 'old %s\r' "$t")" ]; then
            line+=", $t old"
        else
            line+=", $t CUT ($(stat -c %s "$mnt/$t") bytes)"
            fail=1
        fi
    done
    if ls "$mnt"/*.tmp "$mnt"/*.old "$mnt"/*.commit >/dev/null 2>&1; then
        line+=", temporary file left"
        fail=1
    fi
    echo "$line"
done

# The list files, 64 KB left.
rm -rf "${mnt:?}"/*
leave 64
if ! ORVEX_FULL_DISK="$drive:\\" run "$bin/full_disk_lists.exe" --gtest_brief=1; then
    echo "FAIL: the list files on a full disk"
    fail=1
fi
exit $fail

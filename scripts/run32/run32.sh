#!/bin/bash
# Runs 32-bit Windows programs (the i686 build) on an x86_64 machine whose kernel
# cannot execute 32-bit code: 32-bit Wine from a Debian i386 root, every i386
# program in it emulated by a static qemu-i386 registered with binfmt_misc.
#
#   run32.sh setup     install what is missing (as root; downloads from Debian only)
#   run32.sh check     exit 0 when everything is in place
#   run32.sh run [--bind DIR]... [--timeout S] [--env VAR=VALUE]... DIR -- PROGRAM [ARGS...]
#       PROGRAM runs under 32-bit Wine with DIR as working directory; DIR and every
#       --bind DIR appear inside the root at their own paths (Wine's Z: drive), so
#       outputs land where the caller looks. The host's X display ($DISPLAY, e.g.
#       an Xvfb) is passed through. The exit status is PROGRAM's.
#
# Everything lives in $ORVEX_RUN32_HOME (default /var/cache/orvex-run32):
#   bin/qemu-i386   static emulator from Debian trixie's qemu-user (bookworm's 7.2
#                   is too old for Wine's 32-bit code)
#   root/           Debian bookworm i386 (minbase) with wine32, the ru_RU locale,
#                   the fault-code library and a 32-bit prefix in /root/.wine
# The machine's own dpkg never gets the i386 architecture.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
base=${ORVEX_RUN32_HOME:-/var/cache/orvex-run32}
root=$base/root
qemu=$base/bin/qemu-i386
binfmt_name=orvex-qemu-i386
binfmt=/proc/sys/fs/binfmt_misc
root_packages=locales,wine,wine32,xvfb,xauth,procps,gcc,libc6-dev,fonts-dejavu-core,fonts-liberation
# Bumped when the configuration below changes, so a set-up machine redoes it.
config_version=1

say() { echo "run32: $*" >&2; }
fail() { echo "run32: error: $*" >&2; exit 1; }

debian_mirror() {
    local uri
    uri=$( { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true; } |
           sed -n -E 's/^(deb|URIs:)[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+).*/\3/p' | grep -v -- -security | head -n 1)
    echo "${ORVEX_RUN32_MIRROR:-${uri:-http://deb.debian.org/debian}}"
}

# ------------------------------------------------------------------ set-up
fetch_qemu() {
    [ -x "$qemu" ] && return 0
    say "fetching a static qemu-i386 (Debian trixie, qemu-user)"
    local apt=$base/apt
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/unpack" "$base/bin"
    echo "deb $(debian_mirror) trixie main" > "$apt/sources.list"
    local opts=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt" -o Dir::Cache::archives="$apt/archives"
                -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
    apt-get "${opts[@]}" -qq update
    rm -f "$apt"/unpack/*.deb
    (cd "$apt/unpack" && apt-get "${opts[@]}" -qq download qemu-user)
    dpkg-deb --fsys-tarfile "$apt"/unpack/qemu-user_*.deb | tar -x -C "$apt/unpack" ./usr/bin/qemu-i386
    file_type=$(od -A n -t x1 -N 5 "$apt/unpack/usr/bin/qemu-i386" | tr -d ' ')
    [ "$file_type" = 7f454c4602 ] || fail "unexpected qemu-i386 binary"
    install -m 755 "$apt/unpack/usr/bin/qemu-i386" "$qemu"
    rm -rf "$apt"
}

# The F flag makes the kernel open the emulator now, so it works inside the chroot.
register_binfmt() {
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" || fail "binfmt_misc unavailable"
    if [ -e "$binfmt/$binfmt_name" ]; then
        if grep -qx "interpreter $qemu" "$binfmt/$binfmt_name" && [ "$binfmt/$binfmt_name" -nt "$qemu" ]; then
            grep -qx enabled "$binfmt/$binfmt_name" || echo 1 > "$binfmt/$binfmt_name"
            return 0
        fi
        echo -1 > "$binfmt/$binfmt_name"
    fi
    # i386 ELF executables and shared objects (e_type 2 or 3, e_machine 3).
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":$binfmt_name:M::$magic:$mask:$qemu:FPC" > "$binfmt/register"
}

make_root() {
    [ -e "$root/.orvex-bootstrapped" ] && return 0
    command -v debootstrap >/dev/null || {
        say "installing debootstrap"
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
    }
    [ -e "$root" ] && { say "removing an unfinished root"; rm -rf --one-file-system "$root"; }
    say "bootstrapping Debian bookworm i386 into $root (the second stage runs emulated: minutes)"
    if ! nice -n 5 debootstrap --arch=i386 --variant=minbase --include="$root_packages" \
            bookworm "$root" "$(debian_mirror)" > "$base/debootstrap.log" 2>&1; then
        tail -n 20 "$base/debootstrap.log" >&2
        fail "debootstrap failed, see $base/debootstrap.log"
    fi
    rm -f "$root"/var/cache/apt/archives/*.deb
    touch "$root/.orvex-bootstrapped"
}

configure_root() {
    [ "$(cat "$root/.orvex-configured" 2>/dev/null)" = "$config_version" ] && return 0
    say "configuring the root: locale, fault-code library, Wine prefix"
    echo 'ru_RU.UTF-8 UTF-8' > "$root/etc/locale.gen"
    chroot "$root" /usr/bin/locale -a 2>/dev/null | grep -qix ru_RU.utf8 || chroot "$root" /usr/sbin/locale-gen >/dev/null
    mkdir -p "$root/opt/orvex"
    cp "$here/faultcode.c" "$root/opt/orvex/faultcode.c"
    chroot "$root" /usr/bin/gcc -O2 -Wall -shared -fPIC -o /opt/orvex/faultcode.so /opt/orvex/faultcode.c -ldl
    rm -rf "$root/root/.wine"
    local tmp; tmp=$(mktemp -d)
    enter 600 "$tmp" wineboot -i
    enter 120 "$tmp" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    rmdir "$tmp"
    [ -e "$root/root/.wine/system.reg" ] || fail "the 32-bit Wine prefix was not created"
    echo "$config_version" > "$root/.orvex-configured"
}

is_ready() {
    [ -x "$qemu" ] && [ -e "$root/.orvex-bootstrapped" ] &&
        [ "$(cat "$root/.orvex-configured" 2>/dev/null)" = "$config_version" ]
}

# ------------------------------------------------------------------ runs
# Processes whose root directory is ours: only our own runs (we hold the lock).
stop_leftovers() {
    local signal pid list
    for signal in TERM KILL; do
        list=()
        for pid in /proc/[0-9]*; do
            [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && list+=("${pid#/proc/}")
        done
        [ ${#list[@]} -eq 0 ] && return 0
        kill -s "$signal" "${list[@]}" 2>/dev/null || true
        [ "$signal" = TERM ] && sleep 1
    done
}

# enter TIMEOUT DIR COMMAND...: COMMAND inside the root, in a private mount namespace
# (the mounts vanish with it); one persistent wineserver for the whole command.
enter() {
    local seconds=$1 dir=$2; shift 2
    local environment=(HOME=/root USER=root LOGNAME=root PATH=/usr/bin:/bin:/usr/sbin:/sbin
        LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 WINEARCH=win32 WINEPREFIX=/root/.wine WINEDEBUG=-all
        "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d" LD_PRELOAD=/opt/orvex/faultcode.so)
    [ -n "${DISPLAY:-}" ] && environment+=("DISPLAY=$DISPLAY")
    environment+=("${extra_env[@]}")
    local inside='cd "$1" || exit 125; seconds=$2; shift 2
        wineserver -p 2>/dev/null
        timeout -k 10 "$seconds" "$@"; status=$?
        [ $status = 124 ] && echo "run32: timed out after $seconds s" >&2
        wineserver -k 2>/dev/null; timeout 30 wineserver -w 2>/dev/null
        exit $status'
    local mounts='set -e; r=$1; shift
        mount -t proc proc "$r/proc"
        mount --rbind /dev "$r/dev"
        mount -t sysfs sysfs "$r/sys" 2>/dev/null || true
        if [ -d /tmp/.X11-unix ]; then mkdir -p "$r/tmp/.X11-unix"; mount --bind /tmp/.X11-unix "$r/tmp/.X11-unix"; fi
        while [ "$1" != -- ]; do mkdir -p "$r$1"; mount --bind "$1" "$r$1"; shift; done
        shift; exec chroot "$r" "$@"'
    local status=0
    # Backgrounded and waited for, so that a TERM from ctest runs the trap at once.
    unshare -m --propagation private /bin/bash -c "$mounts" mount "$root" "${binds[@]}" "$dir" -- \
        /usr/bin/env -i "${environment[@]}" /bin/sh -c "$inside" inner "$dir" "$seconds" "$@" &
    wait $! || status=$?
    return $status
}

binds=()
extra_env=()

run() {
    local seconds=600
    while [ $# -gt 0 ]; do
        case $1 in
            --bind) binds+=("$(cd "$2" && pwd -P)"); shift 2 ;;
            --timeout) seconds=$2; shift 2 ;;
            --env) extra_env+=("$2"); shift 2 ;;
            *) break ;;
        esac
    done
    [ $# -ge 3 ] && [ "$2" = -- ] || fail "usage: run32.sh run [--bind DIR] [--timeout S] [--env V=X] DIR -- PROGRAM [ARGS...]"
    local dir; dir=$(cd "$1" && pwd -P) || fail "no folder $1"
    shift 2
    is_ready || fail "not set up: run scripts/run32/run32.sh setup (as root)"
    case $1 in *.exe|*.EXE) set -- wine "$@" ;; esac
    register_binfmt
    # One run at a time: the prefix and its wineserver are shared.
    exec 8>"$base/run.lock"
    flock 8
    trap 'stop_leftovers; exit 143' TERM INT HUP
    local status=0
    enter "$seconds" "$dir" "$@" || status=$?
    stop_leftovers
    return $status
}

[ "$(id -u)" = 0 ] || fail "needs root (chroot, mounts, binfmt_misc)"
case ${1:-} in
    setup)
        mkdir -p "$base"
        exec 8>"$base/run.lock"
        flock 8
        start=$SECONDS
        is_ready && { register_binfmt; exit 0; }
        fetch_qemu
        register_binfmt
        make_root
        configure_root
        say "set up in $((SECONDS - start)) s: $(du -sh --one-file-system "$base" | cut -f1) in $base"
        ;;
    check) is_ready ;;
    run) shift; run "$@" ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//'; exit 2 ;;
esac

#!/bin/bash
# Installs what the build and the tests need on a fresh Debian machine (as root):
# the MinGW-w64 cross compilers, Wine, an X server, the Russian locale, GoogleTest,
# and xwd with netpbm for the gallery's screenshot. Usage: install-deps.sh [demo|run32|coverage]
# run32 also sets up 32-bit Wine under emulation (scripts/run32/run32.sh) when missing.
set -eu
packages="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth x11-utils
          locales fonts-wine fonts-liberation cmake make googletest python3
          x11-apps netpbm nsis"
# The main job (demo.sh) renders the plug-in's HTML report with headless Chromium.
[ "${1:-}" = demo ] && packages="$packages chromium"
# The coverage command counts lines and branches with gcovr.
[ "${1:-}" = coverage ] && packages="$packages gcovr"
missing=""
for p in $packages; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    sed -i 's/^# *ru_RU.UTF-8/ru_RU.UTF-8/' /etc/locale.gen
    grep -q '^ru_RU.UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
fi
# The 32-bit stage of the tests: an i386 root with 32-bit Wine under qemu-i386, outside the
# repository (default /var/cache/orvex-run32, about 2 GB, 6-7 minutes the first time).
if [ "${1:-}" = run32 ] && ! bash "$(dirname "$0")/run32/run32.sh" check; then
    bash "$(dirname "$0")/run32/run32.sh" setup
fi

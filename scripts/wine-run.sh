#!/bin/bash
# Runs a Windows program of the x86_64 build under Wine with the system's locale
# (ANSI code page 1251, OEM 866). Usage: wine-run.sh PREFIX_DIR PROGRAM [ARGS...]
# The prefix is created on first use (a lock keeps parallel tests from racing).
set -u
prefix=$1; shift
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEARCH=win64
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$prefix/.orvex-ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        if [ ! -f "$prefix/.orvex-ready" ]; then
            wineboot -i >/dev/null 2>&1
            wineserver -w
            # A crashing test must fail, not wait in a dialog.
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
            wineserver -w
            touch "$prefix/.orvex-ready"
        fi
    ) 9>"$prefix.lock"
fi
exec wine "$@"

# Sourced by the run scripts: an X server on a free display and a persistent
# wineserver for the x86_64 build's prefix; both are stopped on exit.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$root/build/x86_64/wine"
export WINEDEBUG=-all WINEARCH=win64 LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ "$(stat -c %u "$HOME" 2>/dev/null)" = "$(id -u)" ] || export HOME=$(mktemp -d)
# A display of our own: lock files show the displays of this machine, but one
# in use elsewhere (another root sharing the network) only shows when our
# server exits at once; then the next number is tried.
display=90
for _ in $(seq 40); do
    while [ -e "/tmp/.X$display-lock" ] || [ -e "/tmp/.X11-unix/X$display" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 50); do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    kill -0 "$xvfb_pid" 2>/dev/null && break
    display=$((display + 1))
done
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
stop_session() {
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap stop_session EXIT

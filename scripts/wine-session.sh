# Sourced by the run scripts: an X server on a free display and a persistent
# wineserver for the x86_64 build's prefix; both are stopped on exit.
root=${root:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="${ORVEX_WINEPREFIX:-$root/build/x86_64/wine}"
export WINEDEBUG=-all WINEARCH=win64 LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ "$(stat -c %u "$HOME" 2>/dev/null)" = "$(id -u)" ] || export HOME=$(mktemp -d)
# A display of our own, chosen by the X server itself: it skips numbers whose
# lock files exist and numbers whose sockets are taken, also by a server in
# another root that shares this machine's network.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
display=$(head -n 1 "$display_file" | tr -dc 0-9)
rm -f "$display_file"
[ -n "$display" ] || { echo "wine-session: the X server did not start" >&2; return 1 2>/dev/null || exit 1; }
export DISPLAY=":$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
stop_session() {
    # A TERM while stopping (the fuzzing command stops its helper sessions so)
    # must not cut the stop short and leave the X server running.
    trap '' TERM INT
    wineserver -k >/dev/null 2>&1 || true
    kill "$xvfb_pid" >/dev/null 2>&1 || true
}
trap stop_session EXIT

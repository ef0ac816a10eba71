#!/bin/bash
# Benchmark of the stand-in host with the plug-in on a year of a large business
# (10,000 goods, 500 suppliers, 1,000,000 moves over 365 dates).
#
# Opening the folder: the viewer starts without tables and opens the year's
# folder as its menu command does (-open: load the plug-in again, feed the
# tables, refresh), five times. One more run saves the list files. The session
# with those list files present, five times: AttachHost (loading them),
# RefreshLists, the first screen of the movements tab, BuildDynamics of the
# supplier with the most goods with its first screen, the report of its first
# row; and the report's own part without the viewer's pump (bench_report).
# Each step is the median of the runs (fastest and slowest beside it), and
# each target is met or missed by its median.
#
# Run by bench.sh after the build; alone it builds first. ORVEX_BUILD_DIR names
# the x86_64 build tree (default build/x86_64), ORVEX_BENCH_RUNS the runs per
# step (default 5), ORVEX_BUILT=1 skips installing and building.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${ORVEX_BUILD_DIR:-build/x86_64}
case "$build" in /*) ;; *) build="$root/$build" ;; esac
runs=${ORVEX_BENCH_RUNS:-5}
if [ -z "${ORVEX_BUILT:-}" ]; then
    bash scripts/install-deps.sh demo
    bash scripts/build.sh >/dev/null
fi
export ORVEX_WINEPREFIX="$build/wine"
source scripts/wine-session.sh
# The demo's prefix: there the report's open request renders a PNG, it starts
# no browser window.
export WINEPREFIX="$build/wine-demo"
"$root/scripts/wine-run.sh" "$WINEPREFIX" cmd /c exit >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true; WINEPREFIX="$build/wine" stop_session' EXIT
bash scripts/register-report-viewer.sh

dir="$build/bench-host"
rm -rf "$dir" && mkdir -p "$dir/tables" "$dir/empty" "$dir/session" "$dir/logs"
most=$(python3 tools/make_year_tables.py "$dir/tables")
echo "tables: $(($(wc -l < "$dir/tables/Moves.txt") - 1)) moves, $(stat -c %s "$dir/tables/Moves.txt") bytes; most goods: supplier $most"
host="$build/bin/OrvexHost.exe"
drive_c="$WINEPREFIX/drive_c"
win_tables="Z:$(printf '%s' "$dir/tables" | tr / '\\')"

# A viewer that saves the list files only when asked is asked to in the run
# that makes them; the timed runs open the folder as the menu command does.
save=""
if wine "$host" -help 2>/dev/null | tr -d '\r' | grep -q -- '-savelists'; then
    save="-savelists"
fi

# Figures from a busy machine say little: its load is printed before and after.
echo "machine load before (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
echo "== opening the year's folder (-open, $runs runs) =="
for i in $(seq "$runs"); do
    rm -f "$drive_c"/G[NMD]List.dat "$drive_c"/SNList.dat
    (cd "$dir/empty" && wine "$host" -nofeed -time -open "$win_tables" -quit) | tr -d '\r' > "$dir/logs/open$i.txt"
done
if [ -n "$save" ]; then
    rm -f "$drive_c"/G[NMD]List.dat "$drive_c"/SNList.dat
    (cd "$dir/empty" && wine "$host" -nofeed -time -open "$win_tables" $save -quit) | tr -d '\r' > "$dir/logs/save.txt"
    grep -E '^time: SaveLists' "$dir/logs/save.txt" || true
else
    echo "(this viewer saves the list files at every open: its open step includes SaveLists)"
fi
for f in GNList.dat SNList.dat GMList.dat GDList.dat; do
    [ -f "$drive_c/$f" ] && cp "$drive_c/$f" "$dir/session/"
done
ls -l "$dir/session" | awk 'NR>1 {print "list file", $9, $5, "bytes"}'

# The report's open request renders it into a picture in a process of its own,
# which takes a processor for a while: the next run starts once it is done.
export ORVEX_REPORT_PNG="$dir/GoodsDinamic.png"
wait_for_picture() {
    for _ in $(seq 150); do
        [ -s "$ORVEX_REPORT_PNG" ] && return 0
        sleep 0.2
    done
    echo "(the report's picture did not come within 30 s)"
}

echo "== session with the list files present ($runs runs) =="
for i in $(seq "$runs"); do
    rm -f "$ORVEX_REPORT_PNG"
    (cd "$dir/session" && wine "$host" -nofeed -time -tab 2 -tab 4 -supplier "$most" -build -dblclick 0 -quit) \
        | iconv -f cp1251 -t utf-8 | tr -d '\r' > "$dir/logs/session$i.txt"
    wait_for_picture
done
grep -vE '^(time|peak)' "$dir/logs/session1.txt" || true

# The plug-in's own part of the report: the double click's handling alone, in
# a host that runs no message pump around it (tools/bench_report.cpp).
echo "== the report of one row, the plug-in's part ($runs runs) =="
for i in $(seq "$runs"); do
    rm -f "$ORVEX_REPORT_PNG"
    (cd "$dir/session" && wine "$build/bin/bench_report.exe" "$most") | tr -d '\r' \
        | sed -E 's/^report of row 0: ([0-9.]+) ms.*/time: report handling \1 ms/' > "$dir/logs/report$i.txt"
    wait_for_picture
done
echo "machine load after (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg)"

python3 - "$dir/logs" "$runs" <<'EOF'
import re, statistics, sys
logs, runs = sys.argv[1], int(sys.argv[2])

def read(name):
    """Each run's figures: the last value of every timed step, and the peak."""
    out = []
    for i in range(1, runs + 1):
        steps = {}
        for line in open("%s/%s%d.txt" % (logs, name, i), encoding="utf-8", errors="replace"):
            m = re.match(r"time: (.*?)\s+([0-9.]+) ms$", line.rstrip())
            if m:
                steps[m.group(1)] = float(m.group(2))
            m = re.match(r"peak memory: working set ([0-9.]+) MB", line)
            if m:
                steps["peak working set"] = float(m.group(1))
        out.append(steps)
    return out

def figure(runs_, step):
    values = [r[step] for r in runs_ if step in r]
    if not values:
        return None
    return statistics.median(values), min(values), max(values), len(values)

def show(label, f, unit="ms"):
    if f is None:
        print("%-48s (not printed)" % label)
        return
    print("%-48s median %8.1f %s   (%d runs, %.1f .. %.1f)" % (label, f[0], unit, f[3], f[1], f[2]))

opened, session, report = read("open"), read("session"), read("report")
rows = [
    ("open: the -open step (unload, attach, feed, refresh)", opened, "open"),
    ("open: reading the tables", opened, "reading the tables"),
    ("open: add operations", opened, "add operations"),
    ("open: RefreshLists", opened, "RefreshLists"),
    ("open: SaveLists", opened, "SaveLists"),
    ("open: peak working set", opened, "peak working set"),
    ("session: AttachHost (list files loaded)", session, "AttachHost (list files loaded)"),
    ("session: RefreshLists", session, "RefreshLists"),
    ("session: first screen of the movements tab", session, "tab 2"),
    ("session: tab 4", session, "tab 4"),
    ("session: BuildDynamics with its first screen", session, "BuildDynamics"),
    ("session: report of row 0 (with a 50 ms pump)", session, "report of row 0"),
    ("report of row 0, the plug-in's part", report, "report handling"),
    ("session: peak working set", session, "peak working set"),
]
figures = {}
for label, source, step in rows:
    f = figure(source, step)
    figures[label] = f
    if f is not None or step != "SaveLists":
        show(label, f, "MB" if "working set" in step else "ms")

targets = [
    ("AttachHost", "session: AttachHost (list files loaded)", 100, 0, "ms"),
    ("RefreshLists", "session: RefreshLists", 100, 0, "ms"),
    ("first screen of the movements tab", "session: first screen of the movements tab", 50, 0, "ms"),
    ("BuildDynamics with its first screen", "session: BuildDynamics with its first screen", 100, 0, "ms"),
    ("report of one row (the plug-in's part)", "report of row 0, the plug-in's part", 100, 0, "ms"),
    ("opening a year's folder in the viewer", "open: the -open step (unload, attach, feed, refresh)", 1000, 0, "ms"),
    ("peak working set of that session", "open: peak working set", 130, 0, "MB"),
]
print("targets (medians):")
for name, label, limit, less, unit in targets:
    f = figures.get(label)
    if f is None:
        print("  MISSED %-44s no figure" % name)
        continue
    value = max(f[0] - less, 0.0)
    print("  %-6s %-44s %8.1f %s (at most %d %s)" % ("met" if value <= limit else "MISSED", name, value, unit, limit, unit))
EOF

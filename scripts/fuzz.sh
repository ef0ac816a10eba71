#!/bin/bash
# The fuzzing command: builds build/fuzz (x86_64, guard-page heap registry),
# runs the registry's tests in that mode, replays the kept regression inputs,
# makes the seeds and runs every target under Wine, on an X server of its own
# (the interface target lends the plug-in a window).
#   scripts/fuzz.sh [--smoke] [orvex_fuzz options: -count N -count-interface N
#                    -seed S -targets a,b -timeout-ms T]
# --smoke: a short deterministic run (2,000 inputs per target, 300 for the
# interface, which loads the library for every input) for CI.
# ORVEX_FUZZ_BUILD: another build folder (default build/fuzz).
# ORVEX_FUZZ_INTERFACE_SHARDS: Wine sessions that run the interface inputs side
# by side (default 2; an input is thousands of requests to the session's Wine
# server, answered one at a time, so a session keeps about one core busy).
# Exit status 1 on any crash, hang, guard-page fault or broken rule.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
smoke=0
if [ "${1:-}" = "--smoke" ]; then smoke=1; shift; fi
extra=("$@")
build=${ORVEX_FUZZ_BUILD:-build/fuzz}
cmake -S . -B $build -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DORVEX_FUZZ=ON -DORVEX_BUILD_TESTS=ON >/dev/null
cmake --build $build -j 2 --target orvex_fuzz orvex_fuzz_plugin orvex_fuzz_host Orvex_DLL zorbgen cwin_tests \
      >/dev/null

# Each Wine session (its X server, its wineserver and its program) keeps to a
# core of its own when there are cores enough: an interface input is some
# thousands of requests to the wineserver, and a request answered on the same
# core costs less than one that wakes another core.
shards=${ORVEX_FUZZ_INTERFACE_SHARDS:-2}
cores=$(nproc)
pin() {
    [ "$shards" -le "$cores" ] && command -v taskset >/dev/null || return 0
    taskset -pc "$1" "$2" >/dev/null 2>&1 || true
}
pin 0 $$

export ORVEX_WINEPREFIX="$root/$build/wine"
source "$root/scripts/wine-session.sh"
run() { "$root/scripts/wine-run.sh" "$WINEPREFIX" "$@"; }

started=$SECONDS
bin=$root/$build/bin
echo "heap registry tests, guard page after and before every block:"
run "$bin/cwin_tests.exe" --gtest_filter='Guard*/HeapRegistry.*' --gtest_brief=1

cd $build
rm -rf seeds && mkdir -p seeds/converter
# Small reports and goods lists from the sample generator, and list files.
i=0
for size in "3 10 3" "5 40 10" "12 120 30" "1 1 1" "30 300 60"; do
    set -- $size
    mkdir -p seeds/converter/s$i
    run "$bin/zorbgen.exe" -out "seeds\\converter\\s$i" -seed $((i + 7)) -positions $1 -moves $2 -days $3 >/dev/null
    i=$((i + 1))
done
run "$bin/orvex_fuzz.exe" -make-seeds seeds
run "$bin/orvex_fuzz_plugin.exe" -make-seeds seeds

status=0
echo "regression inputs:"
for target in converter reader lists interface; do
    exe=orvex_fuzz.exe
    [ $target = lists ] && exe=orvex_fuzz_plugin.exe
    [ $target = interface ] && exe=orvex_fuzz_host.exe
    if compgen -G "$root/tests/fuzz/regress/$target/*" >/dev/null; then
        run "$bin/$exe" -replay $target "$(winepath -w "$root/tests/fuzz/regress/$target" 2>/dev/null)" || status=1
    fi
done

rm -rf out
# The machinery itself: a read one byte outside a block must show as a guard fault.
run "$bin/orvex_fuzz.exe" -seeds seeds -out out -targets selfcheck -count 4 >selfcheck.txt 2>&1 || true
if ! grep -Eq '^selfcheck +4 +[0-9.]+ +0 +0 +4 ' selfcheck.txt; then
    echo "the guard pages do not catch a read outside a block:"; cat selfcheck.txt; status=1
fi
args=()
[ $smoke = 1 ] && args=(-count 2000 -count-interface 300)
all=(${args[@]+"${args[@]}"} ${extra[@]+"${extra[@]}"})

# Shard K > 0 runs interface inputs in a Wine session of its own (the
# plug-in's stop event and its list files are per session) from the start;
# the command's own shard 0 runs the other targets first and then joins it.
# They take the inputs a chunk at a time, so that both end together, and
# shard 0 adds the others' figures to its line.
targets=converter,reader,lists,interface
for ((i = 0; i < ${#all[@]}; i++)); do
    [ "${all[$i]}" = -targets ] && targets=${all[$((i + 1))]:-}
done
[[ ",$targets," == *,interface,* ]] || shards=1
mkdir -p out
helpers=()
for ((k = 1; k < shards; k++)); do
    (
        export ORVEX_WINEPREFIX="$root/$build/wine-shard$k"
        pin $k $BASHPID
        trap 'exit 1' TERM INT
        source "$root/scripts/wine-session.sh"
        "$root/scripts/wine-run.sh" "$WINEPREFIX" "$bin/orvex_fuzz.exe" -targets interface -interface-shard $k/$shards \
            -seeds seeds -out out ${all[@]+"${all[@]}"} >out/interface-shard-$k.log 2>&1 &
        wait $! || true
        grep -E '^  interface input' out/interface-shard-$k.log >&2 || true
        # Without figures the shard did not run: shard 0 must not wait for ever.
        [ -s out/interface-shard-$k.txt ] || echo "no figures" >out/interface-shard-$k.txt
    ) &
    helpers+=($!)
done
stop_helpers() {
    for pid in ${helpers[@]+"${helpers[@]}"}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    stop_session
}
trap stop_helpers EXIT
run "$bin/orvex_fuzz.exe" -seeds seeds -out out -interface-shard 0/$shards ${all[@]+"${all[@]}"} || status=1
echo "fuzzing: $((SECONDS - started)) s"
exit $status

#!/bin/bash
# For working on one part: configures and builds an x86_64 tree of one's own
# (default build-dev) and runs the chosen tests there under Wine on a private
# display. Usage: [ORVEX_TARGETS="graph_tests"] dev-test.sh BUILD_DIR [ctest
# arguments, e.g. -R graph_tests]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
dir=${1:-build-dev}; shift || true
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON >/dev/null
# ORVEX_TARGETS="a b": build only these targets (all by default).
cmake --build "$dir" -j 2 ${ORVEX_TARGETS:+--target $ORVEX_TARGETS}
export ORVEX_WINEPREFIX="$root/$dir/wine"
source scripts/wine-session.sh
ctest --test-dir "$dir" --output-on-failure --timeout 300 "$@"

#!/bin/bash
# Installs what is missing, builds both targets and runs every test: the unit and
# end-to-end tests of the x86_64 build under Wine, and the static checks of the
# i686 binaries. Fails on any failure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh
source scripts/wine-session.sh
ctest --test-dir build/x86_64 -j 4 --output-on-failure --timeout 300

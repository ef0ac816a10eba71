#!/bin/bash
# Runs an i686 GoogleTest program under 32-bit Wine, in its own folder, with the
# source tree visible (kept outputs, inputs). Usage: run-gtest.sh SOURCE_DIR PROGRAM [ARGS...]
set -u
source_dir=$1 program=$2; shift 2
bin=$(dirname "$program")
exec bash "$(dirname "$0")/run32.sh" run --bind "$source_dir" --bind "$bin" --timeout 840 \
    "$bin" -- "$program" --gtest_color=no "$@"

#!/bin/bash
# Configures and builds both targets: build/i686 (the shipped 32-bit binaries,
# and the test programs that run under 32-bit Wine) and build/x86_64 (the same
# sources, with the tests, run under Wine).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake \
      -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON -DORVEX_RUN32_TESTS=ON \
      -DORVEX_X86_64_DIR="$root/build/x86_64" >/dev/null
cmake --build build/i686 -j "$jobs"
cmake -S . -B build/x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DORVEX_BUILD_TESTS=ON -DORVEX_I686_DIR="$root/build/i686" >/dev/null
cmake --build build/x86_64 -j "$jobs"

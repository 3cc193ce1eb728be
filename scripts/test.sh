#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then builds the plain C++
# core with AddressSanitizer and UndefinedBehaviorSanitizer (and the file-reader fuzz target) and
# runs its tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
jobs=$(nproc 2>/dev/null || echo 2)

export QT_QPA_PLATFORM=offscreen
# Tests keep their settings in a scratch directory, never in the user's.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTORVANE_WITH_QT=OFF -DTORVANE_BENCH=OFF -DTORVANE_SANITIZE=ON -DTORVANE_FUZZ=ON >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

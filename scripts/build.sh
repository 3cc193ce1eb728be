#!/usr/bin/env bash
# Configures and builds the project into build/ (executables in build/bin). Further arguments go to
# CMake's configure step (the test command passes -DTORVANE_WERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTORVANE_WITH_QT=ON -DTORVANE_WERROR=OFF "$@" >/dev/null
cmake --build build -j "$jobs"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest; then builds everything the
# tests need once more with AddressSanitizer and UndefinedBehaviorSanitizer (clang, with the fuzz
# targets of the readers) and runs every test again in that build: unit, ui (offscreen) and e2e.
# Fails when any test fails in either build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Both builds treat compiler warnings as errors.
bash scripts/build.sh -DTORVANE_WERROR=ON
jobs=$(nproc 2>/dev/null || echo 2)

export QT_QPA_PLATFORM=offscreen
# Tests keep their settings in a scratch directory, never in the user's.
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

ctest --test-dir build --output-on-failure -j "$jobs"

# Debug at -O1 with line tables only: quicker to compile and to run than -O0 with full debug
# information, and the reports still name file and line. No benchmarks and no help documents: no test
# runs them.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  "-DCMAKE_C_FLAGS_DEBUG=-O1 -gline-tables-only" "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -gline-tables-only" \
  -DTORVANE_WITH_QT=ON -DTORVANE_BENCH=OFF -DTORVANE_HELP_DOCS=OFF -DTORVANE_SANITIZE=ON -DTORVANE_FUZZ=ON -DTORVANE_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"

# Every sanitizer report goes to a file of its own, named after the program: also the reports of the
# programs that the e2e tests start with their output thrown away, or whose exit status they do not
# look at. Any report fails the run, whatever the test that started the program concluded.
reports="$PWD/build-asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
to_file="log_path=$reports/report:log_exe_name=1"
asan="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
status=0
# Leaks that system libraries keep until exit are listed, with their reasons, in the suppression file.
ASAN_OPTIONS="$asan:$to_file" UBSAN_OPTIONS="print_stacktrace=1:$to_file" \
  LSAN_OPTIONS="suppressions=$PWD/tests/lsan_suppressions.txt:print_suppressions=0" \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" || status=$?
for report in "$reports"/*; do
  [ -e "$report" ] || continue
  if grep -qE 'ERROR:|runtime error:|SUMMARY:|CHECK failed' "$report"; then
    echo "=== Sanitizer report $(basename "$report")"
    cat "$report"
    status=1
  else
    # The kill tests kill programs at random moments, now and then in the leak check at their exit,
    # which then only says that it lost the thread it was stopping.
    echo "Sanitizer note $(basename "$report"): $(head -n 1 "$report")"
  fi
done
exit "$status"

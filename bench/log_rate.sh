#!/usr/bin/env bash
# Logged frames per second of `torvane-cli log` against the simulated unit on a pseudo-terminal
# (the real serial adapter at 115200 baud), without and with --fast: rows of the datalog / seconds.
# Usage: bench/log_rate.sh [build-dir] [seconds]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
cli="$build/bin/torvane-cli"
sim="$build/bin/torvane-unit-sim"
for exe in "$cli" "$sim"; do
  [ -x "$exe" ] || { echo "build $exe first (cmake --build $build --target torvane-cli torvane-unit-sim)"; exit 2; }
done

work="$(mktemp -d)"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The simulator prints the path of its terminal as its first line.
"$sim" --quiet >"$work/sim.out" &
sim_pid=$!
pty=""
for _ in $(seq 50); do
  pty="$(head -n 1 "$work/sim.out" 2>/dev/null || true)"
  [ -n "$pty" ] && break
  sleep 0.1
done
[ -n "$pty" ] || { echo "torvane-unit-sim announced no terminal"; exit 1; }

for mode in normal fast; do
  flag=()
  [ "$mode" = fast ] && flag=(--fast)
  log="$work/$mode.csv"
  "$cli" log --port "$pty" -o "$log" --seconds "$seconds" "${flag[@]}" >"$work/$mode.out"
  rows=$(( $(wc -l <"$log") - 1 ))
  # The span of the logged time column, to show how evenly the frames came.
  span=$(awk -F, 'NR == 2 { first = $1 } NR > 1 { last = $1 } END { printf "%.2f", last - first }' "$log")
  awk -v m="$mode" -v r="$rows" -v s="$seconds" -v span="$span" \
    'BEGIN { printf "%-6s rows %5d in %d s  %5.1f frames/s  (first to last row %s s)\n", m, r, s, r / s, span }'
done

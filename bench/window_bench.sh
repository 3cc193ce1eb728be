#!/usr/bin/env bash
# Whole-program figures of the configurator, offscreen, against the built-in simulated unit:
#  - time from process start to the main window shown (median of 10 starts),
#  - resident memory after 10 s of live data,
#  - CPU use over 10 s of live data while idle (percent of one core).
# Usage: bench/window_bench.sh [build-dir]
set -euo pipefail
build=${1:-build}
exe="$build/bin/torvane"
[ -x "$exe" ] || { echo "build $exe first (bash scripts/build.sh)"; exit 2; }
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT

# Start-up: wall time from spawning the process until it reports the window shown.
times=()
for _ in $(seq 10); do
  t0=$(date +%s%N)
  while read -r word ms; do
    if [ "$word" = "startup-ms" ]; then t1=$(date +%s%N); break; fi
  done < <("$exe" --simulate --report-startup --exit-after 300)
  wait || true
  times+=($(( (t1 - t0) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "startup_ms_median $(( (${sorted[4]} + ${sorted[5]}) / 2 ))  (all: ${times[*]})"

# Memory and CPU while showing live data.
"$exe" --simulate --exit-after 13000 >/dev/null &
pid=$!
sleep 2
ticks_per_s=$(getconf CLK_TCK)
cpu0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
sleep 10
cpu1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
wait "$pid" || true
echo "rss_mb_after_12s $(( rss_kb / 1024 ))"
awk -v a="$cpu0" -v b="$cpu1" -v hz="$ticks_per_s" 'BEGIN { printf "cpu_percent_idle_live %.2f\n", 100 * (b - a) / hz / 10 }'

# CPU while the engine sweeps through the Advance map with fast monitoring, on a real X server (xvfb),
# so that the green live cell's repaints are drawn as on a desktop.
if command -v xvfb-run >/dev/null; then
  cpu_map=$(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
    "$1" --simulate --sweep --fast-monitor --page 2 --exit-after 13000 >/dev/null 2>&1 &
    pid=$!
    sleep 2
    a=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
    sleep 10
    b=$(awk "{print \$14 + \$15}" "/proc/$pid/stat")
    wait "$pid" || true
    awk -v a="$a" -v b="$b" -v hz="$(getconf CLK_TCK)" "BEGIN { printf \"%.2f\", 100 * (b - a) / hz / 10 }"
  ' _ "$exe")
  echo "cpu_percent_map_sweep_fast_xvfb $cpu_map"
fi

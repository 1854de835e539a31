#!/usr/bin/env bash
# The idle recorder's processor use: starts Korvane under the Wine bench,
# leaves it alone for 3 s, then reads the processor time of its process and
# of the X server over 10 s. The reference is RecorderIdleBench.exe, a bare
# wave input of the level meter's format, measured the same way in the same
# run. Usage: bash bench/recorder_idle.sh (after a build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
trap bench_stop EXIT
bench_start "$build/bench-idle"
hz=$(getconf CLK_TCK)

# cpu_ticks PID: user + system time of a process in clock ticks.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure EXE: prints "program% xserver%" for 10 s after 3 s of settling.
measure() {
  wine "$1" >/dev/null 2>&1 &
  local pid=$! p0 p1 x0 x1
  sleep 3
  p0=$(cpu_ticks $pid)
  x0=$([ -n "${BENCH_XVFB:-}" ] && cpu_ticks "$BENCH_XVFB" || echo 0)
  sleep 10
  p1=$(cpu_ticks $pid)
  x1=$([ -n "${BENCH_XVFB:-}" ] && cpu_ticks "$BENCH_XVFB" || echo 0)
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" \
    'BEGIN {printf "%.2f %.2f\n", p * 100 / hz / 10, x * 100 / hz / 10}'
}

read -r rec recx < <(measure "$build/bin/Korvane.exe")
read -r ref refx < <(measure "$build/bin/RecorderIdleBench.exe")
echo "idle recorder: $rec % of a core (X server $recx %)"
echo "bare wave input (reference): $ref % of a core (X server $refx %)"
awk -v a="$rec" -v b="$ref" 'BEGIN {if (b > 0) printf "ratio recorder / reference: %.2f\n", a / b}'

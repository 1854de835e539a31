#!/usr/bin/env bash
# The recorder's file writing under the Wine bench: RecorderBench.exe, each
# format through the engine against the bare library calls, alternated.
# Usage: bash bench/recorder.sh [minutes (10)] [rounds (5)], after a build of
# the RecorderBench target.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
trap bench_stop EXIT
bench_start "$build/bench-recorder"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$build/bin/RecorderBench.exe" "$@" </dev/null 2>/dev/null
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

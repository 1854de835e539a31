#!/usr/bin/env bash
# Start-up time of the editor and the recorder under the Wine bench: runs
# StartupBench.exe, which launches StartupWindow.exe (one plain window), then
# Tessaro.exe and Korvane.exe in turn over several rounds and times each
# until its main window is on the screen and painted. Usage: bash
# bench/startup.sh [rounds] (after a build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
trap bench_stop EXIT
bench_start "$build/bench-startup"
wine "$build/bin/StartupBench.exe" "$@"

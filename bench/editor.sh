#!/usr/bin/env bash
# The editor engine under the Wine bench: EditorBench.exe (first open in
# fresh processes against FFmpeg's decode, repaints, undo/redo, effects as a
# multiple of real time). Usage: bash bench/editor.sh [hour minutes (60)]
# [effect minutes (10)] [rounds (5)], after a build of the EditorBench target.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
trap bench_stop EXIT
bench_start "$build/bench-editor"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wine "$build/bin/EditorBench.exe" "$@" </dev/null 2>/dev/null
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

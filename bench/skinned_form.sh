#!/usr/bin/env bash
# The skinned main window's repaint and idle cost under the Wine bench: runs
# SkinnedFormBench.exe, which compares full repaints with plain copies of the
# same size over alternated rounds and measures the idle window over 10 s
# (medians, spreads, and a verdict only when the spread allows one). Usage:
# bash bench/skinned_form.sh [rounds (5, at least 5)] (after a build of the
# SkinnedFormBench target).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
trap bench_stop EXIT
bench_start "$build/bench-skinned-form"
wine "$build/bin/SkinnedFormBench.exe" "$(winepath -w "$root")" "${1:-5}"

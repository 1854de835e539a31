#!/usr/bin/env bash
# Sets everything up, builds, and starts Korvane under Wine (in Xvfb when
# there is no display). Arguments go to the program.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$here/lib.sh"
source "$here/bench.sh"
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
"$here/build.sh"
[ -n "${DISPLAY:-}" ] && export KORVANE_USE_DISPLAY=$DISPLAY
export KORVANE_WINEPREFIX=${KORVANE_WINEPREFIX:-$HOME/.local/share/korvane/wineprefix}
trap bench_stop EXIT
bench_start "$build/run"
exe=${KORVANE_PROGRAM:-Korvane}.exe
[ -f "$build/bin/$exe" ] || fail "find $exe (not built yet)" "$build/build.log"
wine "$build/bin/$exe" "$@"

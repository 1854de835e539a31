#!/usr/bin/env bash
# Sets everything up, builds, and starts Korvane under Wine. Arguments go to
# the program. With a DISPLAY the program opens there. Without one it runs
# in a private Xvfb with a small window manager and a VNC server that listens
# on localhost only; the script prints how to connect and saves a screenshot.
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

RUN_PIDS=()
run_stop() {
  [ ${#RUN_PIDS[@]} -gt 0 ] && kill "${RUN_PIDS[@]}" 2>/dev/null || true
  bench_stop
}
trap run_stop EXIT
bench_start "$build/run"

# Wine links "My Music" to the home folder when there is no music folder of
# the desktop; recordings then land in $HOME. The prefix gets a real one.
music="$WINEPREFIX/drive_c/users/$(id -un)/Music"
if [ -L "$music" ] || [ ! -e "$music" ]; then
  rm -f "$music"
  mkdir -p "$music"
fi

exe=${KORVANE_PROGRAM:-Korvane}.exe
[ -f "$build/bin/$exe" ] || fail "find $exe (not built yet)" "$build/build.log"

if [ -z "${KORVANE_USE_DISPLAY:-}" ]; then
  # The private display: a window manager, and VNC on localhost.
  openbox >"$build/run/openbox.log" 2>&1 &
  RUN_PIDS+=($!)
  port=5900
  while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
  x11vnc -display "$DISPLAY" -localhost -rfbport "$port" -forever -shared -nopw -quiet \
    >"$build/run/x11vnc.log" 2>&1 &
  RUN_PIDS+=($!)
  shot=$build/run/screenshot.png
  note "no DISPLAY: $exe runs on the private display $DISPLAY"
  note "watch it with a VNC viewer at localhost:$port (from another machine: ssh -L $port:localhost:$port this-machine)"
  note "a screenshot is saved to $shot ${KORVANE_SCREENSHOT_DELAY:-5} s after the start"
  (sleep "${KORVANE_SCREENSHOT_DELAY:-5}" && scrot -o "$shot" >/dev/null 2>&1) &
  RUN_PIDS+=($!)
fi

wine "$build/bin/$exe" "$@"

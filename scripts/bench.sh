# The Wine test bench: a private Wine prefix, Xvfb, PulseAudio with a null
# sink (its monitor is the default input) and a persistent wineserver.
# Sourced by test.sh and run.sh; bench_start BENCH_DIR, bench_stop.

bench_start() {
  BENCH_DIR=$1
  mkdir -p "$BENCH_DIR"
  export WINEPREFIX=${KORVANE_WINEPREFIX:-$BENCH_DIR/wineprefix}
  export WINEARCH=win64
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=${WINEDEBUG:--all,err+module}
  export LC_ALL=C.UTF-8
  export TZ=${TZ:-UTC}

  # Xvfb on a free display.
  if [ -z "${KORVANE_USE_DISPLAY:-}" ]; then
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$BENCH_DIR/xvfb.log" 2>&1 &
    BENCH_XVFB=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
    [ -e /tmp/.X11-unix/X$n ] || fail "start Xvfb" "$BENCH_DIR/xvfb.log"
  else
    export DISPLAY=$KORVANE_USE_DISPLAY
  fi

  # PulseAudio with a null sink, private runtime folder.
  export XDG_RUNTIME_DIR=$BENCH_DIR/pulse-run
  export PULSE_HOME=$BENCH_DIR/pulse-home
  mkdir -p "$XDG_RUNTIME_DIR" "$PULSE_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  HOME=$PULSE_HOME pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false \
    --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    >"$BENCH_DIR/pulse.log" 2>&1 &
  BENCH_PULSE=$!
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || fail "start PulseAudio" "$BENCH_DIR/pulse.log"
  pactl set-default-sink null >/dev/null 2>&1 || true
  pactl set-default-source null.monitor >/dev/null 2>&1 || true

  # Wine prefix, created once; then a persistent, warmed wineserver.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "create Wine prefix" "$BENCH_DIR/wineboot.log" wineboot --init </dev/null
    wineserver -w
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  BENCH_STARTED=1
}

bench_stop() {
  [ -n "${BENCH_STARTED:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${BENCH_PULSE:-}" ] && kill "$BENCH_PULSE" 2>/dev/null || true
  [ -n "${BENCH_XVFB:-}" ] && kill "$BENCH_XVFB" 2>/dev/null || true
  BENCH_STARTED=
  BENCH_PULSE=
  BENCH_XVFB=
}

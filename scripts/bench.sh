# The Wine test bench: a private Wine prefix, Xvfb, PulseAudio with a null
# sink (its monitor is the default input) and a persistent wineserver.
# Sourced by test.sh and run.sh; bench_start BENCH_DIR, bench_stop.

BENCH_PULSE=()

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

  # PulseAudio sound cards, each a null sink whose monitor is the default
  # input: the default one, and one per name in KORVANE_SOUND_CARDS, so that
  # test executables that play and capture tones do not hear each other.
  BENCH_PULSE=()
  local card
  for card in default ${KORVANE_SOUND_CARDS:-}; do
    bench_start_pulse "$BENCH_DIR/pulse-$card"
  done
  export XDG_RUNTIME_DIR=$BENCH_DIR/pulse-default
  export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native

  # Wine prefix, created once; then a persistent, warmed wineserver.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # Wine makes the prefix folder itself, but not its parents (a new user's
    # home has no ~/.local/share yet).
    mkdir -p "$(dirname "$WINEPREFIX")"
    step "create Wine prefix" "$BENCH_DIR/wineboot.log" wineboot --init </dev/null
    wineserver -w
  fi
  # A crashing program ends at once with the fault's line instead of waiting
  # in the debugger.
  if [ ! -f "$WINEPREFIX/.no-debugger" ]; then
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d 'cmd /c exit' /f \
      </dev/null >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.no-debugger"
  fi
  # Without a window manager nobody answers for a managed window, and Wine
  # waits two seconds each time one is hidden or destroyed. KORVANE_UNMANAGED=1
  # (the test command's default) leaves the windows unmanaged instead: Wine
  # then places, stacks and activates them itself. The program's own run keeps
  # them managed, for its window manager.
  if [ "${KORVANE_UNMANAGED:-0}" = 1 ] && [ ! -f "$WINEPREFIX/.unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    touch "$WINEPREFIX/.unmanaged"
  elif [ "${KORVANE_UNMANAGED:-0}" != 1 ] && [ -f "$WINEPREFIX/.unmanaged" ]; then
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/.unmanaged"
  fi
  # A server left running for this prefix is used as it is.
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  BENCH_STARTED=1
}

# bench_start_pulse DIR: a PulseAudio server with its socket at DIR/pulse/native.
bench_start_pulse() {
  local dir=$1
  mkdir -p "$dir/home"
  chmod 700 "$dir"
  XDG_RUNTIME_DIR=$dir HOME=$dir/home pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false \
    --load="module-null-sink sink_name=null" --load=module-native-protocol-unix \
    >"$dir/pulse.log" 2>&1 &
  BENCH_PULSE+=($!)
  local server=unix:$dir/pulse/native
  for _ in $(seq 100); do PULSE_SERVER=$server pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  PULSE_SERVER=$server pactl info >/dev/null 2>&1 || fail "start PulseAudio" "$dir/pulse.log"
  PULSE_SERVER=$server pactl set-default-sink null >/dev/null 2>&1 || true
  PULSE_SERVER=$server pactl set-default-source null.monitor >/dev/null 2>&1 || true
  # Left idle, the null sink renders two seconds at a time, and a capture that
  # starts then waits a second or two for its first sound. A listener on the
  # monitor asking for short steps keeps every capture's start quick.
  PULSE_SERVER=$server parec -d null.monitor --raw --latency-msec=20 >/dev/null 2>&1 </dev/null &
  BENCH_PULSE+=($!)
}

bench_stop() {
  [ -n "${BENCH_STARTED:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ ${#BENCH_PULSE[@]} -gt 0 ] && kill "${BENCH_PULSE[@]}" 2>/dev/null || true
  [ -n "${BENCH_XVFB:-}" ] && kill "$BENCH_XVFB" 2>/dev/null || true
  BENCH_STARTED=
  BENCH_PULSE=()
  BENCH_XVFB=
}

#!/usr/bin/env bash
# Each effect of the editor against SoX's nearest effect on the same
# 10-minute 44.1 kHz stereo WAV, in the same run. The engine's figure is its
# effect stage (the effect on the opened file, its result stored), timed
# inside a fresh Tessaro-engine process; SoX's is the time of
# `sox in out EFFECT` less the time of the plain copy `sox in out` run next
# to it. The two alternate in every round (engine first in odd rounds);
# medians, the spread of the per-round ratios, and a verdict only when the
# whole spread lies on one side of 1.0.
# Usage: bash bench/effects.sh [rounds (5)] [minutes (10)] [effect id...]
# With BEFORE=path/to/another/EditorBench.exe, that build's engine runs in
# the same rounds too (a before/after comparison under the same load).
# SoX comes from the Debian package (installed here when missing).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$root/scripts/lib.sh"
source "$root/scripts/bench.sh"
build=${BUILD_DIR:-$root/build}
rounds=${1:-5}
minutes=${2:-10}
shift 2 2>/dev/null || shift $#
if ! command -v sox >/dev/null; then
  step "install SoX" "$build/sox-install.log" apt-get install -y --no-install-recommends sox
fi
trap 'bench_stop; rm -rf "$work"' EXIT
bench_start "$build/bench-effects"
work=$(mktemp -d "$build/bench-effects/run.XXXXXX")
wav=$work/ten.wav
exe=$build/bin/EditorBench.exe
wine "$exe" --write-wav "$(winepath -w "$wav")" "$minutes" </dev/null

# id|SoX effect (the nearest counterpart of the engine's effect and settings)
table=(
  "amplify|vol 1.5"
  "normalize|dcshift 0 norm"
  "fade|fade t $((minutes * 60))"
  "invert|vol -1"
  "reverse|reverse"
  "silence|vol 0"
  "insert|pad 1@0"
  "trim|silence 1 0.1 -40d"
  "delsilence|silence -l 1 0.1 -40d -1 0.3 -40d"
  "noise|synth whitenoise mix"
  "compressor|compand 0.02,0.08 6:-20,-20,0,-18.1 0 -90 0"
  "expander|compand 0.02,0.08 6:-92,-400,-45,-92.5,-40,-40,0,0 0 -90 0"
  "chmix|remix 1v0.5,2v0.5 1v0.5,2v0.5"
  "vibrato|tremolo 5 50"
  "delay|echos 1 1 250 0.5 500 0.15 750 0.045 1000 0.0135 1250 0.004 1500 0.0012"
  "phaser|phaser 0.6 0.66 3 0.4 0.5 -t"
  "flanger|flanger 1.5 2 0 71 0.5 sine 25 lin"
  "chorus|chorus 1 1 20 0.5 0.1 5 -t 40 0.15 0.1 5 -t"
  "reverb|reverb 50 50 50"
  "pitch|pitch -316"
  "stretch|tempo 1.2"
  "notch|bandreject 1000 1.1q"
  "bandpass|bandpass 1000 1.1q"
  "lowpass|lowpass 2000 lowpass 2000"
  "highpass|highpass 500 highpass 500"
  "lowshelf|bass 6 200"
  "highshelf|treble 6 5000"
  "peakeq|equalizer 1000 1.1q 6"
)

# seconds CMD...: wall time of one run.
seconds() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 </dev/null
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}
before=${BEFORE:-}
# A run that fails prints nothing; its round counts as lost.
engine() { { wine "$exe" --effect "$1" "$(winepath -w "$wav")" 2>/dev/null </dev/null || true; } | tail -1 | tr -d '\r'; }
engine_before() {
  [ -n "$before" ] || { echo 0; return; }
  { wine "$before" --effect "$1" "$(winepath -w "$wav")" 2>/dev/null </dev/null || true; } | tail -1 | tr -d '\r'
}
sox_stage() { # prints the SoX effect stage: effect run less the plain copy
  local fx copy
  # shellcheck disable=SC2086
  fx=$(seconds sox "$wav" "$work/out.wav" $1)
  copy=$(seconds sox "$wav" "$work/out.wav")
  echo "$fx - $copy" | bc -l
}

echo "Effects: engine effect stage against SoX's effect stage (sox in out FX less sox in out),"
echo "$minutes min of 44.1 kHz stereo 16-bit WAV, $rounds rounds alternated; load average $(cut -d' ' -f1-3 /proc/loadavg)"
printf "  %-11s %9s %9s %7s %13s  %-20s %s\n" effect "engine s" "SoX s" ratio "ratio spread" verdict \
  "${before:+before s (ratio)}"
for row in "${table[@]}"; do
  id=${row%%|*}
  fx=${row#*|}
  if [ $# -gt 0 ] && [[ " $* " != *" $id "* ]]; then continue; fi
  es=() ss=() rs=() bs=()
  for ((r = 0; r < rounds; r++)); do
    if ((r % 2 == 0)); then
      e=$(engine "$id")
      s=$(sox_stage "$fx")
      b=$(engine_before "$id")
    else
      b=$(engine_before "$id")
      s=$(sox_stage "$fx")
      e=$(engine "$id")
    fi
    if [ -z "$e" ] || [ -z "$b" ]; then
      echo "  $id: a run failed in round $((r + 1)); the round is left out" >&2
      continue
    fi
    bs+=("$b")
    es+=("$e")
    ss+=("$s")
    rs+=("$(echo "$e / ($s + 0.000001)" | bc -l)")
  done
  python3 - "$id" "$fx" "${es[*]}" "${ss[*]}" "${rs[*]}" "${bs[*]}" <<'PY'
import statistics, sys
idn, fx, es, ss, rs, bs = sys.argv[1:]
bs = [float(x) for x in bs.split()]
es = [float(x) for x in es.split()]
ss = [float(x) for x in ss.split()]
rs = [float(x) for x in rs.split()]
lo, hi = min(rs), max(rs)
m = statistics.median(rs)
verdict = "met" if hi <= 1.0 else ("NOT met" if lo > 1.0 else "undecided (spread)")
if min(ss) <= 0.005: verdict += "; SoX stage within noise"
b = statistics.median(bs)
old = f"{b:.3f} ({b / statistics.median(ss):.2f})" if b > 0 else ""
print(f"  {idn:<11} {statistics.median(es):9.3f} {statistics.median(ss):9.3f} {m:7.2f} {lo:6.2f}..{hi:<6.2f}  {verdict:<20} {old}   [sox {fx}]")
PY
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# Measures what CI costs: clean clones of the current commit run `.ci/run` on
# the given cores, first with an empty dependency cache (a private folder),
# then warm runs that reuse it. Prints each run's time, the slowest twenty tests
# and the tests that needed a retry; keeps every log under the work folder.
#
#   scripts/ci-measure.sh [--cpus LIST] [--warm N] [--no-cold] [--work DIR] [-- ctest arguments]
#
# --cpus 0,1 (the default) runs on two cores through taskset; --cpus all uses
# every core. --warm N runs N warm runs after the cold one (default 1).
# Arguments after -- go to ctest (to try the script on a few tests only).
# Nothing of the developer's setup is used: no compiler cache, no shared
# dependency cache, a fresh Wine prefix in each clone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$here/lib.sh"

cpus=0,1
warm=1
cold=1
work=${TMPDIR:-/tmp}/korvane-ci-measure
while [ $# -gt 0 ]; do
  case $1 in
  --cpus) cpus=$2; shift 2 ;;
  --warm) warm=$2; shift 2 ;;
  --no-cold) cold=0; shift ;;
  --work) work=$2; shift 2 ;;
  --) shift; break ;;
  *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

ctest_args=("$@")
commit=$(git -C "$root" rev-parse HEAD)
git -C "$root" diff --quiet HEAD || note "uncommitted changes are not measured (commit $commit is)"
mkdir -p "$work"
cache=$work/deps-cache
if [ "$cold" = 1 ]; then rm -rf "$cache"; fi
mkdir -p "$cache"
summary=$work/summary.txt
: >"$summary"

pin=()
if [ "$cpus" != all ]; then pin=(taskset -c "$cpus"); fi
ncpu=$("${pin[@]}" nproc)

# run NAME: one clean clone, one `.ci/run`, as CI starts it.
run() {
  local name=$1 dir=$work/$1
  rm -rf "$dir"
  git clone -q --no-checkout "$root" "$dir"
  git -C "$dir" checkout -q --detach "$commit"
  note "$name: .ci/run on $ncpu cores (cpus $cpus) in $dir"
  local start end rc=0
  start=$(date +%s)
  (cd "$dir" && env -u CCACHE_DIR -u CCACHE_BASEDIR -u CCACHE_NOHASHDIR \
    -u CMAKE_CXX_COMPILER_LAUNCHER -u CMAKE_C_COMPILER_LAUNCHER -u BUILD_DIR -u JOBS -u CTEST_JOBS \
    -u KORVANE_TARGETS -u KORVANE_SKIP_SETUP -u KORVANE_WINEPREFIX -u KORVANE_USE_DISPLAY CI=true KORVANE_DEPS_CACHE="$cache" "${pin[@]}" bash .ci/run "${ctest_args[@]}" \
    </dev/null >"$work/$name.log" 2>&1) || rc=$?
  end=$(date +%s)
  local mins
  mins=$(awk -v s=$((end - start)) 'BEGIN{printf "%d:%02d", s/60, s%60}')
  {
    echo "== $name: $mins (m:s) on $ncpu cores, exit $rc, commit ${commit:0:10}"
    local deps
    deps=$(ls -d "$cache"/logs-* 2>/dev/null | head -1)
    if [ "$name" = cold ] && [ -n "$deps" ]; then
      echo "   dependency build: $(( $(stat -c %Y "$deps"/ffmpeg.log) - $(stat -c %Y "$deps"/fetch-zlib.log) )) s (zlib fetched to FFmpeg built)"
    fi
    grep -E "^Total Test time|tests passed" "$work/$name.log" | awk '!seen[$0]++' | sed 's/^/   /' || true
    if [ -f "$dir/build/ctest.log" ]; then
      python3 "$here/ctest-report.py" retries "$dir/build/ctest.log" | sed 's/^/   /'
      python3 "$here/ctest-report.py" slowest "$dir/build/ctest.log" 20 | sed 's/^/   /'
    else
      echo "   no test ran; the log is $work/$name.log"
    fi
  } | tee -a "$summary"
}

if [ "$cold" = 1 ]; then run cold; fi
for i in $(seq "$warm"); do run "warm$i"; done
# The test times of the last run, for tests/ctest-costs.txt (see scripts/test.sh).
last=$(ls -dt "$work"/cold "$work"/warm* 2>/dev/null | head -1)
if [ -n "$last" ] && [ -f "$last/build/Testing/Temporary/CTestCostData.txt" ]; then
  cp "$last/build/Testing/Temporary/CTestCostData.txt" "$work/ctest-costs.txt"
  note "test times in $work/ctest-costs.txt (copy to tests/ctest-costs.txt after a full run)"
fi
note "summary in $summary"

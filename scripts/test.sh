#!/usr/bin/env bash
# Sets everything up, builds, and runs every test under the Wine test bench.
# Extra arguments go to ctest (for example: -R framework). BUILD_DIR selects
# the build folder; KORVANE_TARGETS limits what is built.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$here/lib.sh"
source "$here/bench.sh"
build=${BUILD_DIR:-$root/build}
export BUILD_DIR=$build
targets=()
for t in ${KORVANE_TARGETS:-}; do targets+=(--target "$t"); done
"$here/build.sh" "${targets[@]}"
trap bench_stop EXIT
# Each test executable gets a sound card of its own (see tests/CMakeLists.txt).
KORVANE_SOUND_CARDS=$(cd "$root/tests" && ls -d */ | tr -d / | grep -v '^support$' | tr '\n' ' ')
export KORVANE_SOUND_CARDS
# Test windows are unmanaged unless KORVANE_UNMANAGED=0 (see bench.sh).
export KORVANE_UNMANAGED=${KORVANE_UNMANAGED:-1}
bench_start "$build/bench"
note "running tests"
# A fresh build folder has no test times, and CTest would start the tests in
# the order they are declared; with the times of a measured run
# (tests/ctest-costs.txt, written by scripts/ci-measure.sh) it starts the
# longest first, so that no long chain of one executable is left for the end.
costs=$build/Testing/Temporary/CTestCostData.txt
if [ ! -f "$costs" ] && [ -f "$root/tests/ctest-costs.txt" ]; then
  mkdir -p "$(dirname "$costs")"
  cp "$root/tests/ctest-costs.txt" "$costs"
fi
# The output is kept in ctest.log: scripts/ci-measure.sh reads the test times from it.
log=$build/ctest.log
set +e
ctest --test-dir "$build" --output-on-failure --no-tests=error --repeat until-pass:3 -j "${CTEST_JOBS:-4}" "$@" \
  </dev/null 2>&1 | tee "$log"
rc=${PIPESTATUS[0]}
set -e
# A test that passed only on a later try is a fault to find: name every one.
# CTest's own summary is repeated after this so that it stays the last word.
python3 "$here/ctest-report.py" retries "$log"
sed -n '/^[0-9]*% tests passed/,$p' "$log"
exit "$rc"

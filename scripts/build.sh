#!/usr/bin/env bash
# Sets up the machine, builds the third-party libraries (cached) and the project.
# BUILD_DIR selects the build folder (default: build).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
source "$here/lib.sh"
[ "${KORVANE_SKIP_SETUP:-}" = 1 ] || "$here/setup.sh"
prefix=$("$here/deps.sh")
build=${BUILD_DIR:-$root/build}
mkdir -p "$build"
if [ ! -f "$build/build.ninja" ] || [ "$(cat "$build/.deps-prefix" 2>/dev/null)" != "$prefix" ]; then
  step "configure" "$build/configure.log" cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DKORVANE_DEPS_PREFIX="$prefix"
  echo "$prefix" > "$build/.deps-prefix"
fi
if ! cmake --build "$build" -j "${JOBS:-$(nproc)}" "$@" >"$build/build.log" 2>&1; then
  grep -E "error|Error" "$build/build.log" | head -20 >&2
  fail "build" "$build/build.log"
fi

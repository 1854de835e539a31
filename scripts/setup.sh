#!/usr/bin/env bash
# Installs what the build and the tests need (idempotent).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
PKGS=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build nasm pkg-config
  dpkg-dev make python3 wine64 wine xvfb xauth pulseaudio pulseaudio-utils sox googletest x11-utils xdotool
  openbox x11vnc scrot)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" = 0 ] || SUDO=sudo
  log=${TMPDIR:-/tmp}/korvane-apt.log
  note "installing ${missing[*]}"
  step "apt-get update" "$log" $SUDO apt-get update
  step "apt-get install ${missing[*]}" "$log" env DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

#!/usr/bin/env bash
# Builds korvane, velmora, the synthesiser and every test suite, then runs the
# tests. Run as root on a fresh Debian machine it installs what it needs first.
# KORVANE_SANITIZE=ON builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake libgtest-dev libsdl2-dev ffmpeg)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
  else
    echo "Please install: ${missing[*]} (apt-get install -y ${missing[*]})" >&2
    exit 1
  fi
fi

sanitize=${KORVANE_SANITIZE:-OFF}
build=build-test
[ "$sanitize" = ON ] && build=build-sanitize
cmake -S . -B "$build" -DKORVANE_SANITIZE="$sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Installs the Debian packages korvane's build, tests and demo need, when run
# as root; otherwise names the missing ones and fails.
set -euo pipefail

# zlib, liblzma, libFLAC and libzstd decompress the hunks of CHD images.
packages=(build-essential cmake pkg-config libgtest-dev libsdl2-dev ffmpeg
          zlib1g-dev liblzma-dev libflac-dev libzstd-dev "$@")
# Only the tests use these: mandoc and groff lint the manual pages, dpkg-dev
# (dpkg-shlibdeps) finds the Debian package's dependencies.
test_packages=(mandoc groff-base dpkg-dev)
packages+=("${test_packages[@]}")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" = 0 ]; then
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
else
  echo "Please install: ${missing[*]}  (sudo apt-get install -y ${missing[*]})" >&2
  exit 1
fi

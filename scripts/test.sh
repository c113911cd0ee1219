#!/usr/bin/env bash
# Builds korvane, velmora, the synthesiser and every test suite, then runs the
# tests. Run as root on a fresh Debian machine it installs what it needs first.
# KORVANE_SANITIZE=ON builds with AddressSanitizer and UndefinedBehaviorSanitizer.
# KORVANE_SLOW_TESTS=ON also runs the slow tests (an AVI past 4 GiB: about
# 4.4 GB of disk in the temporary directory); they are skipped otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
# Tools only the tests run, as outside oracles: chdman makes CHD images
# the way users do.
test_only_packages=(mame-tools)
./scripts/install_deps.sh "${test_only_packages[@]}"

sanitize=${KORVANE_SANITIZE:-OFF}
build=build-test
[ "$sanitize" = ON ] && build=build-sanitize
cmake -S . -B "$build" -DKORVANE_SANITIZE="$sanitize" -DKORVANE_WERROR="${KORVANE_WERROR:-OFF}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
cd "$build"
# The end-to-end conversions once more on the plain routines, then every test
# (last, so that its summary closes the log).
KORVANE_SIMD=none ctest --output-on-failure -j"$(nproc)" \
  -R '^(ConvertMovie|ConvertMovieBmp|DamagedMovie|ScanAll|FfmpegOracle)[./]'
ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# The bounded fuzzing step of CI: builds every fuzz target with clang and
# libFuzzer (AddressSanitizer and UndefinedBehaviorSanitizer included), runs
# each from the synthesiser's seeds for FUZZ_SECONDS (default 30), and fails
# on any finding. The whole step, build included, ends within
# FUZZ_STEP_SECONDS (default 540): when the build took long the runs are
# shortened to fit. Run as root on a fresh Debian machine it installs clang
# first.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
./scripts/install_deps.sh clang
# libFuzzer's runtime is only a recommendation of Debian's clang package.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -fsanitize=fuzzer -x c++ - -o /dev/null 2>/dev/null; then
  ./scripts/install_deps.sh clang "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
fi
export FUZZ_DEADLINE=$((start + ${FUZZ_STEP_SECONDS:-540}))
status=0
fuzz/run_fuzz.sh "${FUZZ_BUILD:-build-fuzz-ci}" "${FUZZ_SECONDS:-30}" "$@" || status=$?
echo "fuzzing step: $(( $(date +%s) - start )) s"
exit $status

#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a given time, one
# after the other, one process each, at the lowest priority. Prints one line
# a target (executions, coverage, result) and fails when any target found
# something (crash, sanitizer report, leak, timeout, out-of-memory).
#
#   fuzz/run_fuzz.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]
#
# Corpora grow in BUILD_DIR/fuzz/corpus/<target> (seeded from the
# synthesiser's seeds); logs go to BUILD_DIR/fuzz/logs, findings to
# BUILD_DIR/fuzz/findings. FUZZ_TALLY=file appends one line a run:
# target, executions, cov, ft, seconds, result. FUZZ_DEADLINE=epoch seconds
# shortens the runs so that the last one ends by then (each gets at least
# 5 seconds).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS_PER_TARGET [TARGET...]" >&2
  exit 2
fi
build=$1
seconds=$2
shift 2

jobs=${FUZZ_BUILD_JOBS:-2}
CC=clang CXX=clang++ cmake -S . -B "$build" -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF \
  -DKORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice -n 19 cmake --build "$build" -j"$jobs" --target fuzz_all >/dev/null

# Target names and input limits from the table.
declare -A max_len
all_targets=()
while read -r name len _; do
  case "$name" in ''|'#'*) continue ;; esac
  max_len[$name]=$len
  all_targets+=("$name")
done < fuzz/targets.txt
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

out="$build/fuzz"
mkdir -p "$out/logs" "$out/findings"
# Scratch files of the targets that read by name: in memory when possible.
[ -w /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}

failed=0
remaining=${#targets[@]}
printf '%-24s %12s %6s %7s  %s\n' target executions cov ft result
for t in "${targets[@]}"; do
  if [ -z "${max_len[$t]:-}" ]; then
    echo "unknown target $t" >&2
    exit 2
  fi
  run_seconds=$seconds
  if [ -n "${FUZZ_DEADLINE:-}" ]; then
    share=$(( (FUZZ_DEADLINE - $(date +%s)) / remaining ))
    [ "$share" -lt "$run_seconds" ] && run_seconds=$share
    [ "$run_seconds" -lt 5 ] && run_seconds=5
  fi
  remaining=$((remaining - 1))
  corpus="$out/corpus/$t"
  mkdir -p "$corpus" "$out/findings/$t"
  log="$out/logs/$t.log"
  set +e
  nice -n 19 "$out/$t" "$corpus" "$out/seeds/$t" \
    -max_total_time="$run_seconds" -max_len="${max_len[$t]}" \
    -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/findings/$t/" >"$log" 2>&1
  status=$?
  set -e
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  result=clean
  if [ $status -ne 0 ]; then
    result="FINDING (status $status, see $log)"
    failed=1
  fi
  printf '%-24s %12s %6s %7s  %s\n' "$t" "${executions:-0}" "${cov:-0}" "${ft:-0}" "$result"
  if [ -n "${FUZZ_TALLY:-}" ]; then
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$t" "${executions:-0}" "${cov:-0}" "${ft:-0}" "$run_seconds" \
      "$([ $status -eq 0 ] && echo clean || echo finding)" >>"$FUZZ_TALLY"
  fi
  if [ $status -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 | sed 's/^/    /'
  fi
done
exit $failed

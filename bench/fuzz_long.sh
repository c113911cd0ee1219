#!/usr/bin/env bash
# Long fuzzing campaign: every target (or those named) for SECONDS each, one
# after the other at the lowest priority, keeping the corpora of earlier
# runs. Prints each run's executions and final coverage (cov: edges, ft:
# features) and the running totals of executions over all runs, kept in
# BUILD/fuzz/tally.tsv.
#
#   bench/fuzz_long.sh SECONDS [TARGET...]     (BUILD: FUZZ_BUILD, default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  echo "usage: $0 SECONDS_PER_TARGET [TARGET...]" >&2
  exit 2
fi
build=${FUZZ_BUILD:-build-fuzz}
seconds=$1
shift
tally="$build/fuzz/tally.tsv"
mkdir -p "$build/fuzz"
status=0
FUZZ_TALLY="$tally" fuzz/run_fuzz.sh "$build" "$seconds" "$@" || status=$?

echo
echo "Totals over every run kept in $tally:"
printf '%-24s %14s %8s %6s %7s %s\n' target executions seconds cov ft findings
awk -F'\t' '{ execs[$1] += $2; secs[$1] += $5; cov[$1] = $3; ft[$1] = $4;
              if ($6 == "finding") found[$1]++ }
  END { for (t in execs) printf "%-24s %14d %8d %6d %7d %d\n", t, execs[t], secs[t], cov[t], ft[t], found[t] }' \
  "$tally" | sort
exit $status

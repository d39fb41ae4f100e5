#!/usr/bin/env bash
# Runs the fuzz targets of the ZARVEL_FUZZ build on their seed corpora.
#
#   tests/fuzz/lance_fuzz.sh TARGET SECONDS     one target (stl_import, dxf_vues, trois_vues,
#                                               base_code, args)
#   tests/fuzz/lance_fuzz.sh all SECONDS        every target in turn, SECONDS each
#
# The build folder is build-fuzz at the top of the source tree, or ZARVEL_FUZZ_BUILD. Each run
# uses one process at low priority. What it keeps, under BUILD/fuzz-runs/TARGET/:
#   corpus/      new inputs that reach new code (read again by the next run, with the seeds);
#   findings/    crash-*, timeout-*, slow-unit-*, oom-* inputs: once the fault is fixed, copy each
#                into tests/fuzz/regression/TARGET/ so that the test suite replays it;
#   fuzz-0.log   the fuzzer's output, whose last lines give executions and coverage (cov, ft);
#   pilote.log   the output of the process that runs the fuzzing job.
# ZARVEL_FUZZ_OPTIONS adds options of the fuzzer (say -max_len=16384, the default being the size
# of the largest seed). The exit status is non-zero when a run ended on a finding.
set -euo pipefail

ici=$(cd "$(dirname "$0")" && pwd)
racine=$(cd "$ici/../.." && pwd)
build=${ZARVEL_FUZZ_BUILD:-$racine/build-fuzz}
cibles=(stl_import dxf_vues trois_vues base_code args)

if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage : $0 CIBLE|all SECONDES   (cibles : ${cibles[*]})" >&2
  exit 2
fi

lance() {
  local cible=$1 secondes=$2
  local programme=$build/tests/fuzz/fuzz_$cible
  if [ ! -x "$programme" ]; then
    echo "$programme absent : construire avec -DZARVEL_FUZZ=ON (cmake --build $build --target fuzz_$cible)" >&2
    return 2
  fi
  local travail=$build/fuzz-runs/$cible
  mkdir -p "$travail/corpus" "$travail/findings"
  echo "== $cible : $secondes s (journal : $travail/fuzz-0.log)"
  local statut=0
  # Leaks of the modelling kernel's static tables are not ours (tools/lsan.supp lists them).
  (cd "$travail" &&
    ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0} \
    LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$racine/tools/lsan.supp} \
    UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1} \
    nice -n 10 "$programme" -jobs=1 -workers=1 -rss_limit_mb=2048 -timeout=10 \
      -max_total_time="$secondes" -print_final_stats=1 ${ZARVEL_FUZZ_OPTIONS:-} \
      -artifact_prefix="$travail/findings/" "$travail/corpus" "$ici/$cible" \
      >"$travail/pilote.log" 2>&1) || statut=$?
  # The last progress line (executions, cov, ft, corpus) and the final statistics.
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE|INITED)' "$travail/fuzz-0.log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$travail/fuzz-0.log" || true
  if [ -n "$(ls -A "$travail/findings")" ]; then
    echo "$cible : trouvailles dans $travail/findings :"
    ls -1 "$travail/findings"
    statut=1
  fi
  return $statut
}

statut=0
if [ "$1" = all ]; then
  for cible in "${cibles[@]}"; do
    lance "$cible" "$2" || statut=1
  done
else
  lance "$1" "$2" || statut=$?
fi
exit $statut

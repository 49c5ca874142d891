#!/usr/bin/env bash
# The robustness runs at full length, beyond what the test suite can afford:
# load cycles that start and end the real overlay program each time, four
# host threads for 10 s, the overlay fed 100 000 garbage messages, the race
# tests for 5 s each; against every plugin DLL. Each run has a time limit.
# The figures go to out/robustness-results.txt; exits non-zero when a run
# fails or overruns its limit.
#
# Lengths can be changed through the environment (defaults in brackets):
#   TALVORI_ROBUST_CYCLES [100]  TALVORI_ROBUST_REAL_OVERLAY [1]
#   TALVORI_ROBUST_THREAD_SECONDS [10]  TALVORI_ROBUST_RACE_MS [5000]
#   TALVORI_ROBUST_FUZZ [100000]  TALVORI_ROBUST_FUZZ_DIALOGS [20]
#   TALVORI_ROBUST_SEED [a new one each run, printed]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/deps.sh" || exit 1
"$root/scripts/build.sh" || exit 1
source "$root/scripts/session.sh"
build=${TALVORI_BUILD:-$root/build}

export TALVORI_ROBUST_CYCLES=${TALVORI_ROBUST_CYCLES:-100}
export TALVORI_ROBUST_REAL_OVERLAY=${TALVORI_ROBUST_REAL_OVERLAY:-1}
export TALVORI_ROBUST_THREAD_SECONDS=${TALVORI_ROBUST_THREAD_SECONDS:-10}
export TALVORI_ROBUST_RACE_MS=${TALVORI_ROBUST_RACE_MS:-5000}
export TALVORI_ROBUST_FUZZ=${TALVORI_ROBUST_FUZZ:-100000}
export TALVORI_ROBUST_FUZZ_DIALOGS=${TALVORI_ROBUST_FUZZ_DIALOGS:-20}

out="$root/out"
mkdir -p "$out"
results="$out/robustness-results.txt"
logs="$out/robustness-logs"
mkdir -p "$logs"
{
  echo "Talvori robustness runs, $(date -u '+%Y-%m-%d %H:%M UTC')"
  talvori_emu32_describe
  env | grep '^TALVORI_ROBUST_' | sort
} > "$results"

failed=0
# run <name> <time limit, s> <program>: one test program, all its tests.
run() {
  local name=$1 limit=$2 program=$3
  local log="$logs/$name.log"
  if [ ! -f "$program" ]; then
    echo "== $name: $program is missing" | tee -a "$results"
    failed=1
    return
  fi
  case $program in
    */i686/*)
      if [ "$TALVORI_32BIT_MODE" = "not run" ]; then
        echo "== $name: not run: $TALVORI_32BIT_REASON" | tee -a "$results"
        return
      fi
      # Emulated 32-bit code runs several times slower.
      [ "$TALVORI_32BIT_MODE" = emulated ] && limit=$((limit * 3)) ;;
  esac
  local start=$SECONDS
  timeout --kill-after=10 "$limit" wine "$program" > "$log" 2>&1
  local status=$?
  local verdict="passed"
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    verdict="OVERRAN ${limit} s"
  elif [ $status -ne 0 ]; then
    verdict="FAILED (exit $status)"
  fi
  [ "$verdict" = "passed" ] || failed=1
  {
    echo "== $name: $verdict in $((SECONDS - start)) s"
    tr -d '\r' < "$log" | grep -a -E '^\[ figures  \]|Failure|FAILED  \]' | sed 's/^/   /'
  } | tee -a "$results"
}

run core-i686 120 "$build/i686/tests/robustness/robustness_core_tests.exe"
run plugin-api8-i686 300 "$build/i686/tests/robustness/robustness_plugin_tests_api8.exe"
run plugin-api26-i686 300 "$build/i686/tests/robustness/robustness_plugin_tests_api26.exe"
run plugin-api26-x64 300 "$build/x64/tests/robustness/robustness_plugin_tests_api26.exe"
run overlay-x64 600 "$build/x64/tests/robustness/robustness_overlay_tests.exe"

if [ $failed -ne 0 ]; then
  echo "robustness: FAILED (logs in $logs)" | tee -a "$results"
  exit 1
fi
echo "robustness: all runs passed (figures in $results)" | tee -a "$results"

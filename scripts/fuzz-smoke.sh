#!/usr/bin/env bash
# Runs each fuzz target for a fixed number of inputs, after replaying its seeds and kept regression
# inputs (fuzz/corpus/TARGET/ and the generated seeds):
#   scripts/fuzz-smoke.sh                 builds every target first (clang, in build-fuzz/ or the
#                                         folder LUMICAST_FUZZ_BUILD names), then runs them all
#   scripts/fuzz-smoke.sh --run TARGET    runs one target of a build that has it (the sanitizer
#                                         pass's CTest test of that target runs this)
# Exits non-zero when a target finds a crash, a sanitizer report, a leak, a broken property or a
# hang; the input is then in BUILD/findings/smoke/TARGET/.
# The counts keep the whole run under about two minutes on a busy two-core machine; one target
# runs at a time. LUMICAST_FUZZ_SMOKE_SCALE=N multiplies the counts.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${LUMICAST_FUZZ_BUILD:-build-fuzz}
SCALE=${LUMICAST_FUZZ_SMOKE_SCALE:-1}
# Inputs per target, by how much one input costs (the settings reader and the pipe cost most).
declare -A RUNS=(
  [fuzz_report_parser]=60000
  [fuzz_progress_parser]=20000
  [fuzz_settings_store]=10000
  [fuzz_file_version]=60000
  [fuzz_command_line]=60000
  [fuzz_format_text]=60000
  [fuzz_batch_options]=60000
  [fuzz_clock_value]=100000
  [fuzz_exec_line]=100000
)

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs one target; prints one line, and what it found on standard error.
run_target() { # target
  local target=$1 runs findings seeds=() dir began done_runs
  runs=$((${RUNS[$target]:-20000} * SCALE))
  findings="$BUILD/findings/smoke/$target"
  mkdir -p "$work/$target" "$findings"
  for dir in "fuzz/corpus/$target" "$BUILD/fuzz-seeds/$target"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  began=$(date +%s)
  # A fixed seed, so a run of the same build on the same seeds takes the same inputs.
  if "$BUILD/bin/$target" -runs="$runs" -seed=1 -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 "$work/$target" "${seeds[@]}" \
      >"$work/$target.log" 2>&1; then
    done_runs=$(grep -o 'number_of_executed_units: [0-9]*' "$work/$target.log" | grep -o '[0-9]*$')
    echo "fuzz: $target: ${done_runs:-?} inputs, no finding ($(($(date +%s) - began)) s)"
  else
    echo "fuzz: $target: FINDING; the input is in $findings/" >&2
    grep -E 'ERROR|SUMMARY|property failed|runtime error|Test unit written' "$work/$target.log" \
      | head -20 >&2 || true
    return 1
  fi
}

if [ "${1:-}" = "--run" ]; then
  [ -x "$BUILD/bin/${2:-}" ] || { echo "no fuzz target '${2:-}' in $BUILD" >&2; exit 2; }
  run_target "$2"
  exit
fi

./scripts/fuzz-build.sh "$BUILD"
failed=()
start=$(date +%s)
for target in $(./scripts/fuzz.sh list); do
  run_target "$target" || failed+=("$target")
done
echo "fuzz: smoke run took $(($(date +%s) - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in: ${failed[*]}" >&2
  exit 1
fi

#!/usr/bin/env bash
# Builds every fuzz target (clang, in build-fuzz/ or the folder LUMICAST_FUZZ_BUILD names) and runs
# each for a fixed number of inputs, after replaying its seeds and kept regression inputs
# (fuzz/corpus/TARGET/ and the generated seeds). Exits non-zero when any target finds a crash, a sanitizer report, a leak, a broken
# property or a hang; the input is then in BUILD/findings/smoke/TARGET/.
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

./scripts/fuzz-build.sh "$BUILD"

targets=$(./scripts/fuzz.sh list)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
start=$(date +%s)
for target in $targets; do
  runs=$((${RUNS[$target]:-20000} * SCALE))
  findings="$BUILD/findings/smoke/$target"
  mkdir -p "$work/$target" "$findings"
  seeds=()
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
    failed+=("$target")
  fi
done
echo "fuzz: smoke run took $(($(date +%s) - start)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in: ${failed[*]}" >&2
  exit 1
fi

#!/usr/bin/env bash
# Builds the fuzz targets (clang, in build-fuzz/) and runs one of them for a while:
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
#   scripts/fuzz.sh fuzz_report_parser 600
#   scripts/fuzz.sh fuzz_format_text 0 -runs=2000000     (SECONDS 0: no time limit)
# TARGET is one of the fuzz_* targets in fuzz/CMakeLists.txt; "list" lists them. New inputs go to
# build-fuzz/corpus/TARGET/; the seeds (fuzz/corpus/TARGET/ and the generated ones) are only read.
# A crash is written to build-fuzz/findings/TARGET/; to keep it as a regression case, copy it into
# fuzz/corpus/TARGET/ once the parser is fixed. Runs one process on one core.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ] && [ "${1:-}" != "list" ]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]  (or: scripts/fuzz.sh list)" >&2
  exit 2
fi
target=$1
targets=$(sed -n '/^set(LUMICAST_FUZZ_TARGETS/,/)/p' fuzz/CMakeLists.txt | grep -o 'fuzz_[a-z_]*')
if [ "$target" = "list" ]; then
  echo "$targets"
  exit 0
fi
if ! grep -qx "$target" <<<"$targets"; then
  echo "unknown fuzz target '$target'; one of:" $targets >&2
  exit 2
fi
seconds=$2
shift 2

BUILD=${LUMICAST_FUZZ_BUILD:-build-fuzz}
./scripts/fuzz-build.sh "$BUILD" "$target"

mkdir -p "$BUILD/corpus/$target" "$BUILD/findings/$target"
seeds=()
for dir in "fuzz/corpus/$target" "$BUILD/fuzz-seeds/$target"; do
  [ -d "$dir" ] && seeds+=("$dir")
done
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
exec "$BUILD/bin/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$BUILD/findings/$target/" -print_final_stats=1 "$@" \
  "$BUILD/corpus/$target" "${seeds[@]}"

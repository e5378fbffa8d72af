#!/usr/bin/env bash
# Shows that the tests are steady: builds once, then runs the whole CTest suite ROUNDS times with
# twice as many test jobs as cores while one busy process per core competes for them, and prints
# each failure with its round. Not part of the test command; the way to show that a test passes
# every time, not only on a quiet machine.
#   scripts/stress-tests.sh [ROUNDS] [PRESET]     (defaults: 5, normal; PRESET from
#                                                  CMakePresets.json)
# Exits non-zero when any round failed. Each failed round's log is kept as
# BUILD/Testing/stress/round-N.log.
set -euo pipefail
cd "$(dirname "$0")/.."
ROUNDS=${1:-5}
PRESET=${2:-normal}
./scripts/install-deps.sh
# JOBS, LAUNCHER and LINKER, and the compiler cache's settings.
source scripts/build-env.sh

declare -A DIRS=([normal]=build [sanitizers]=build-asan [thread]=build-tsan)
dir=${DIRS[$PRESET]:?unknown preset $PRESET: one of ${!DIRS[*]}}
# shellcheck disable=SC2086 # LINKER is a word list
cmake --preset "$PRESET" "${LAUNCHER[@]}" $LINKER >/dev/null
cmake --build --preset "$PRESET" -j "$JOBS"

# One busy process per core, for the whole run, each in a session of its own as another program on
# the machine would be. The encoder runs at idle priority (the window stays responsive while it
# converts): beside busy processes of its own session it would get almost no processor at all,
# while the kernel shares the processors between sessions.
pids=$(mktemp)
stop_busy() {
  local pid
  while read -r pid; do
    kill "$pid" 2>/dev/null || true
  done <"$pids"
  rm -f "$pids"
}
trap stop_busy EXIT
trap 'exit 130' INT TERM
for _ in $(seq "$JOBS"); do
  # shellcheck disable=SC2016 # $$ and $1 belong to the busy process's own shell
  setsid sh -c 'echo $$ >>"$1"; exec sh -c "while :; do :; done"' busy "$pids" \
    </dev/null >/dev/null 2>&1 &
done

mkdir -p "$dir/Testing/stress"
rm -f "$dir"/Testing/stress/round-*.log
failed_rounds=()
start=$(date +%s)
for round in $(seq "$ROUNDS"); do
  began=$(date +%s)
  log="$dir/Testing/stress/round-$round.log"
  if ctest --preset "$PRESET" -j "$((2 * JOBS))" >"$log" 2>&1; then
    echo "stress: round $round of $ROUNDS passed in $(($(date +%s) - began)) s"
    rm -f "$log"
  else
    echo "stress: round $round of $ROUNDS FAILED in $(($(date +%s) - began)) s; log: $log"
    sed -n '/The following tests FAILED/,$p' "$log" | grep -E '^\s+[0-9]+ - ' || tail -5 "$log"
    failed_rounds+=("$round")
  fi
done
echo "stress: $ROUNDS rounds in $(($(date +%s) - start)) s with $((2 * JOBS)) test jobs beside" \
  "$JOBS busy processes on $JOBS cores"
if [ ${#failed_rounds[@]} -gt 0 ]; then
  echo "stress: rounds that failed: ${failed_rounds[*]}" >&2
  exit 1
fi
echo "stress: every round passed"

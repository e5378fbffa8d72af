#!/usr/bin/env bash
# Installs what is missing, builds Lumicast and runs every test in the three passes of
# CMakePresets.json, each of which a contributor can also run by name
# (`cmake --workflow --preset normal`):
#   1. normal: the users' build (GCC, the product's own optimisation, warnings as errors) with
#      every test: the plain ones, the widgets offscreen, the installed tree and the package;
#   2. sanitizers: an AddressSanitizer + UndefinedBehaviorSanitizer (and leak) build of the plain
#      C++ code with clang, which runs its tests and each fuzz target (libFuzzer) for a fixed number
#      of inputs, from the same build;
#   3. thread: a ThreadSanitizer build of the plain C++ code with the threaded tests.
# Set LUMICAST_QUICK=1 to run only the first. Each pass prints its build and test times.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-layers.sh

# JOBS, LAUNCHER and LINKER, and the compiler cache's settings.
source scripts/build-env.sh
export QT_QPA_PLATFORM=offscreen

# LeakSanitizer's own tracer now and then crashes as a test program exits while threads of the media
# framework end (a known fault of the sanitizer runtime: "Tracer caught signal 11"). A test whose
# GoogleTest body passed and whose only fault is that crash runs once more; any other failure, or a
# second crash, fails the run.
rerun_tracer_crashes() { # preset
  local preset=$1 dir=${DIRS[$1]} failed
  failed=$(awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3; passed = 0; bad = 0; tracer = 0 }
    /^\[  PASSED  \]/ { passed = 1 }
    /^\[  FAILED  \]/ { bad = 1 }
    /^Tracer caught signal/ { tracer = 1 }
    /^Test Failed\./ { print name, (passed && tracer && !bad) ? "tracer" : "other" }' \
    "$dir/Testing/Temporary/LastTest.log")
  if [ -z "$failed" ] || grep -q ' other$' <<< "$failed"; then
    return 1
  fi
  echo "== ${dir}: LeakSanitizer's tracer crashed as these passing tests ended; they run once more:"
  sed 's/ tracer$//; s/^/     /' <<< "$failed"
  ctest --preset "$preset" --rerun-failed
}

# The build folder of each pass (CMakePresets.json).
declare -A DIRS=([normal]=build [sanitizers]=build-asan [thread]=build-tsan)
TIMES=()
run_pass() { # preset ctest-args... ; test jobs from $TEST_JOBS
  local preset=$1 dir=${DIRS[$1]} phase built tested
  shift
  phase=$(date +%s)
  echo "== ${preset} (${dir}): configure and build"
  # shellcheck disable=SC2086 # LINKER is a word list
  cmake --preset "$preset" "${LAUNCHER[@]}" $LINKER >/dev/null
  cmake --build --preset "$preset" -j "$JOBS"
  built=$(($(date +%s) - phase))
  echo "== ${preset}: tests (built in ${built} s)"
  phase=$(date +%s)
  if ! ctest --preset "$preset" -j "${TEST_JOBS:-$JOBS}" "$@"; then
    rerun_tracer_crashes "$preset"
  fi
  tested=$(($(date +%s) - phase))
  echo "== ${preset}: tests passed in ${tested} s"
  TIMES+=("${preset} (${dir}): build ${built} s, tests ${tested} s")
}

start=$(date +%s)
# The users' build runs every test once.
run_pass normal
if [ "${LUMICAST_QUICK:-0}" != "1" ]; then
  # A folder left by an older run without the fuzz targets is made again.
  if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^LUMICAST_FUZZ:BOOL=ON' build-asan/CMakeCache.txt
  then
    rm -rf build-asan
  fi
  # Its tests wait for the encoder and the media framework much of the time: one job more than the
  # cores keeps both busy. The fuzz targets run among them, each for a fixed number of inputs.
  # Its preset plays sound into a silent clocked sink: looking for the desktop's sound (OpenAL,
  # ALSA) leaves threads behind that LeakSanitizer's tracer trips over as a test ends; the normal
  # pass keeps that path.
  TEST_JOBS=$((JOBS + 1)) run_pass sanitizers
  run_pass thread
fi
printf '== %s\n' "${TIMES[@]}"
echo "== all tests passed in $(($(date +%s) - start)) s"

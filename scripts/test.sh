#!/usr/bin/env bash
# Installs what is missing, builds Lumicast and runs every test:
#   1. the normal build (warnings as errors) with all tests;
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer build with all tests;
#   3. a ThreadSanitizer build of the plain C++ code with the threaded tests.
# Set LUMICAST_QUICK=1 to run only the first.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

run_suite() { # build-dir ctest-args... ; cmake-args come from $CMAKE_ARGS
  local dir=$1
  shift
  echo "== ${dir}: configure and build"
  cmake -S . -B "$dir" -G Ninja -DLUMICAST_WERROR=ON ${CMAKE_ARGS:-} >/dev/null
  cmake --build "$dir" -j "$JOBS"
  echo "== ${dir}: tests"
  ctest --test-dir "$dir" -j "$JOBS" --timeout 300 "$@"
}

start=$(date +%s)
CMAKE_ARGS="" run_suite build
if [ "${LUMICAST_QUICK:-0}" != "1" ]; then
  # Qt and fontconfig keep caches alive until exit; leaks are checked on the plain C++ tests only.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    CMAKE_ARGS="-DLUMICAST_SANITIZE=address -DLUMICAST_BUILD_GUI=OFF -DLUMICAST_BUILD_BENCH=OFF" run_suite build-asan
  TSAN_OPTIONS=halt_on_error=1 \
    CMAKE_ARGS="-DLUMICAST_SANITIZE=thread -DLUMICAST_BUILD_GUI=OFF -DLUMICAST_BUILD_BENCH=OFF" \
    run_suite build-tsan -L threaded
fi
echo "== all tests passed in $(($(date +%s) - start)) s"

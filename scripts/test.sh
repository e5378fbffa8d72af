#!/usr/bin/env bash
# Installs what is missing, builds Lumicast and runs every test:
#   1. the normal build (warnings as errors) with the widget tests, the installed tree and the
#      package's checks (with LUMICAST_QUICK=1: every test);
#   2. an AddressSanitizer + UndefinedBehaviorSanitizer (and leak) build of the plain C++ code with
#      clang, which runs its tests and then the fuzz targets (libFuzzer) from the same build, each
#      for a fixed number of inputs;
#   3. a ThreadSanitizer build of the plain C++ code with the threaded tests.
# Set LUMICAST_QUICK=1 to run only the first. Each pass prints its build and test times.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/check-layers.sh

JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen
export CTEST_OUTPUT_ON_FAILURE=1

# The compiler cache makes a second run (and a run in another clone) rebuild only what changed.
# Paths are hashed relative to the source folder, and the precompiled headers of the widget
# targets are cacheable with this sloppiness.
LAUNCHER=()
if command -v ccache > /dev/null; then
  # scripts/ccache-pch.sh runs ccache and writes the checksum of each precompiled header it makes,
  # which ccache then hashes instead of the header itself.
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache "-DCMAKE_CXX_COMPILER_LAUNCHER=$PWD/scripts/ccache-pch.sh")
  export CCACHE_BASEDIR=$PWD
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  export CCACHE_NOHASHDIR=1
  export CCACHE_PCH_EXTSUM=1
fi

# lld links the test programs several times faster than the default linker.
LINKER=""
if command -v ld.lld > /dev/null; then
  LINKER="-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld"
  LINKER+=" -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld"
fi
export LUMICAST_LINKER=$LINKER

# LeakSanitizer's own tracer now and then crashes as a test program exits while threads of the media
# framework end (a known fault of the sanitizer runtime: "Tracer caught signal 11"). A test whose
# GoogleTest body passed and whose only fault is that crash runs once more; any other failure, or a
# second crash, fails the run.
rerun_tracer_crashes() { # build-dir
  local dir=$1 failed
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
  ctest --test-dir "$dir" --timeout 300 --rerun-failed
}

TIMES=()
run_suite() { # build-dir ctest-args... ; cmake-args from $CMAKE_ARGS, -Werror from $WERROR, test jobs from $TEST_JOBS
  local dir=$1 phase built tested
  shift
  phase=$(date +%s)
  echo "== ${dir}: configure and build"
  # Test builds keep line tables only as debug information (enough for stack traces and sanitizer
  # reports) and compile the product's files in batches: each cuts the build from scratch a lot.
  # shellcheck disable=SC2086 # the argument variables are word lists
  cmake -S . -B "$dir" -G Ninja -DLUMICAST_WERROR="${WERROR:-ON}" -DLUMICAST_BUILD_TESTS=ON \
    -DLUMICAST_LINE_TABLES=ON -DLUMICAST_UNITY_BUILD=ON "${LAUNCHER[@]}" $LINKER \
    ${CMAKE_ARGS:-} >/dev/null
  # shellcheck disable=SC2086 # BUILD_TARGETS is a word list
  cmake --build "$dir" -j "$JOBS" ${BUILD_TARGETS:+--target $BUILD_TARGETS}
  built=$(($(date +%s) - phase))
  echo "== ${dir}: tests (built in ${built} s)"
  phase=$(date +%s)
  if ! ctest --test-dir "$dir" -j "${TEST_JOBS:-$JOBS}" --timeout 300 --no-tests=error "$@"; then
    rerun_tracer_crashes "$dir"
  fi
  tested=$(($(date +%s) - phase))
  echo "== ${dir}: tests passed in ${tested} s"
  TIMES+=("${dir}: build ${built} s, tests ${tested} s")
}

start=$(date +%s)
if [ "${LUMICAST_QUICK:-0}" = "1" ]; then
  CMAKE_ARGS="" run_suite build
else
  # The plain C++ tests run in the sanitizer passes below; this pass runs what only it builds: the
  # widget tests, the application's version record and the package's checks.
  CMAKE_ARGS="" run_suite build -L 'gui|package'
  # The sanitizer builds cover the plain C++ code (no widgets) with less optimisation, to build fast;
  # the package's checks ran in the first pass.
  SANITIZER_BUILD="-DCMAKE_BUILD_TYPE=Debug -DLUMICAST_BUILD_GUI=OFF -DLUMICAST_BUILD_BENCH=OFF"
  # One clang build serves the sanitizer tests and the fuzz targets (cmake/Fuzz.cmake): every file
  # is compiled with AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzer's coverage; the test
  # programs link GoogleTest's main, the fuzz targets libFuzzer's. Warnings are not errors here:
  # clang warns about other things than the compiler of the first pass, which keeps them at zero.
  # A folder left by an older run with another compiler is made again.
  if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^LUMICAST_FUZZ:BOOL=ON' build-asan/CMakeCache.txt
  then
    rm -rf build-asan
  fi
  # Its tests wait for the encoder and the media framework much of the time: one job more than the
  # cores keeps both busy.
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 TEST_JOBS=$((JOBS + 1)) \
    LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" CC=clang CXX=clang++ WERROR=OFF \
    CMAKE_ARGS="$SANITIZER_BUILD -DLUMICAST_FUZZ=ON" run_suite build-asan -LE package
  # Every parser of outside input, fuzzed for a fixed number of inputs.
  phase=$(date +%s)
  LUMICAST_FUZZ_BUILD=build-asan ./scripts/fuzz-smoke.sh
  TIMES+=("fuzz smoke (build-asan): $(($(date +%s) - phase)) s")
  TSAN_OPTIONS=halt_on_error=1 CMAKE_ARGS="$SANITIZER_BUILD -DLUMICAST_SANITIZE=thread" \
    BUILD_TARGETS="Kestrelvx test_support test_platform test_engine test_probe" \
    run_suite build-tsan -L threaded
fi
printf '== %s\n' "${TIMES[@]}"
echo "== all tests passed in $(($(date +%s) - start)) s"

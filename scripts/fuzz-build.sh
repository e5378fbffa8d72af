#!/usr/bin/env bash
# Configures (when needed) and builds fuzz targets with clang in a build folder of their own:
#   scripts/fuzz-build.sh BUILD-DIR [TARGET...]     (no TARGET: every target and the seeds)
# Used by scripts/fuzz.sh and scripts/fuzz-smoke.sh. A folder that is set up already is only built,
# never configured again (scripts/test.sh sets up build-asan with the tests on, then builds the fuzz
# targets there).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
shift
if ! command -v clang++ >/dev/null; then
  echo "the fuzz targets need clang (Debian: clang and libclang-rt-dev)" >&2
  exit 1
fi
if [ -f "$build/CMakeCache.txt" ]; then
  if ! grep -q '^LUMICAST_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "$build is set up without -DLUMICAST_FUZZ=ON; remove it or pick another folder" >&2
    exit 1
  fi
else
  launcher=()
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # Warnings are not errors here: clang warns about other things than the compiler of the normal
  # build, which keeps them at zero with -Werror.
  # LUMICAST_LINKER: more cmake arguments for the linker (scripts/test.sh picks lld).
  # shellcheck disable=SC2086 # a word list
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DLUMICAST_FUZZ=ON -DLUMICAST_BUILD_GUI=OFF \
    -DLUMICAST_BUILD_TESTS=OFF -DLUMICAST_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "${launcher[@]}" ${LUMICAST_LINKER:-} >/dev/null
fi
cmake --build "$build" -j "${LUMICAST_FUZZ_JOBS:-2}" --target fuzz_seeds "${@:-fuzz_all}"

#!/usr/bin/env bash
# Builds the Debian package of Lumicast: build/package/lumicast_<version>-<revision>_<arch>.deb.
#   --build-dir DIR   the build folder (default build/, configured here when it is not yet)
#   --output DIR      where the .deb goes (default DIR/package of the build folder)
# Install it with: sudo apt install ./build/package/lumicast_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
output=""
while [ $# -gt 0 ]; do
  case $1 in
  --build-dir) build=$2; shift 2 ;;
  --output) output=$2; shift 2 ;;
  *) echo "usage: $0 [--build-dir DIR] [--output DIR]" >&2; exit 2 ;;
  esac
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  ./scripts/install-deps.sh
  launcher=""
  if command -v ccache > /dev/null; then
    launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  fi
  # shellcheck disable=SC2086 # the launcher is a word list
  cmake -S . -B "$build" -G Ninja -DLUMICAST_BUILD_TESTS=OFF -DLUMICAST_BUILD_BENCH=OFF $launcher \
    > /dev/null
fi
# Only what is installed is built; cpack then installs it into its staging folder.
cmake --build "$build" -j "$(nproc)" --target lumicast_installable
args=(-G DEB --config "$build/CPackConfig.cmake")
if [ -n "$output" ]; then
  args+=(-B "$(mkdir -p "$output" && cd "$output" && pwd)")
fi
# Files are created with the modes of the package, whatever the caller's umask.
umask 022
cpack "${args[@]}"

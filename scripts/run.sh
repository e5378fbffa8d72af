#!/usr/bin/env bash
# Installs what is missing, builds Lumicast and starts it. Everything the installed application has
# is built: the programs, the language modules, the help pages with their pictures, the icons.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DLUMICAST_BUILD_TESTS=OFF -DLUMICAST_BUILD_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)"
exec ./build/bin/lumicast "$@"

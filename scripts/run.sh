#!/usr/bin/env bash
# Installs what is missing, builds Lumicast and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DLUMICAST_BUILD_TESTS=OFF -DLUMICAST_BUILD_BENCH=OFF >/dev/null
cmake --build build -j "$(nproc)" --target lumicast Kestrelvx
exec ./build/bin/lumicast "$@"

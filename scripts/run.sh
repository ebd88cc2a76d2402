#!/usr/bin/env bash
# Builds the tool and starts it; arguments go to dtutool.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DDTU_BUILD_TESTS=OFF -DDTU_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target dtutool
exec build/release/app/dtutool "$@"

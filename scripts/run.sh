#!/usr/bin/env bash
# Builds the tool and starts it. Without arguments it comes up attached to a
# simulated DTU (--simulate); a device path given here is listed first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui cli
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DDTU_BUILD_TESTS=OFF -DDTU_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target dtutool dtu-sim
(($# > 0)) || set -- --simulate
exec build/release/bin/dtutool "$@"

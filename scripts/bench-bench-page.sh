#!/usr/bin/env bash
# Upgrades and writes a full profile to 1 and to 16 simulated DTUs at once
# from the bench page, offscreen, and prints the figures (docs/benchmarks.md,
# "The bench"). About a minute and a half.
#   scripts/bench-bench-page.sh [--dtus 16] [--image-kib 32]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test cli
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target bench_page_bench
exec build/bench/bench/bench_page_bench "$@"

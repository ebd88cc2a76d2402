#!/usr/bin/env bash
# Opens the records page on 100,000 records, filters them and scrolls deep
# (offscreen unless QT_QPA_PLATFORM says otherwise), and prints the figures
# (docs/benchmarks.md, "Records page").
# About ten seconds once built.
#   scripts/bench-records-page.sh [--records 100000] [--runs 5]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test cli
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target records_page_bench
exec build/bench/bench/records_page_bench "$@"

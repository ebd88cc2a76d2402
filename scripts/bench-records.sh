#!/usr/bin/env bash
# What a record adds to a job, `dtuctl records --unit` among a million
# records, and the yield of a million tests (`dtuctl records --summary`), in
# an SQLite file and in PostgreSQL on loopback, and prints the figures
# (docs/benchmarks.md, "Records"). About five minutes.
#   scripts/bench-records.sh [--jobs 1000] [--records 1000000] [--units 10000]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test cli
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target records_bench
exec build/bench/bench/records_bench "$@"

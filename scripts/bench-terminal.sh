#!/usr/bin/env bash
# Streams 5 MiB of text lines and 1 MiB of random bytes into the debugging
# terminal and, side by side, into GTKTerm and CuteCom, and prints the
# figures (docs/benchmarks.md).
#   scripts/bench-terminal.sh [--text-mib 5] [--random-mib 1] [--no-peers] [--view text|hex|both]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test cli
# Without the peers the benchmark still measures ours and says so.
scripts/deps.sh bench || echo "bench-terminal.sh: GTKTerm, CuteCom, Xvfb or xdotool not installed; going on" >&2
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench --target terminal_stream_bench
exec build/bench/bench/terminal_stream_bench "$@"

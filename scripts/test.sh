#!/usr/bin/env bash
# Builds and runs every test, four ways, and the Debian package:
#   1. an ordinary build with warnings as errors;
#   2. ThreadSanitizer over the threaded tests (driver, receive buffer,
#      simulated DTU end to end),
#      without Qt, which Debian does not build for it;
#   3. a bounded libFuzzer run (clang) over the decoders and builders;
#   4. AddressSanitizer + UndefinedBehaviorSanitizer over everything;
# after the first, the package is built in Release with warnings as errors
# (the optimiser sees more than the ordinary build) and checked (contents,
# versions, lintian).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test fuzz package cli

export QT_QPA_PLATFORM=offscreen
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
export ASAN_OPTIONS="detect_leaks=1 strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
jobs=$(nproc)

step() {
  local name=$1; shift
  echo "== $name"
  cmake -S . -B "build/$name" -G Ninja -DDTU_WERROR=ON "$@" >/dev/null
  cmake --build "build/$name" -j "$jobs"
}

# The ordinary run has a home of its own, which it must leave as it found
# it: no test writes into the home folder of whoever runs them.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
step test
(cd build/test && HOME=$home XDG_DATA_HOME=$home/.local/share ctest -j "$jobs" --output-on-failure)
if [[ -n $(find "$home" -mindepth 1 -print -quit) ]]; then
  echo "The tests wrote into the home folder:" >&2
  find "$home" -mindepth 1 >&2
  exit 1
fi
DTU_WERROR=ON scripts/package.sh

step tsan -DDTU_SANITIZE=thread -DDTU_BUILD_GUI=OFF -DDTU_BUILD_BENCH=OFF
(cd build/tsan && ctest -j "$jobs" --output-on-failure -L "threaded|e2e")

CC=clang CXX=clang++ step fuzz -DDTU_FUZZ=ON -DDTU_SANITIZE=address -DDTU_BUILD_GUI=OFF -DDTU_BUILD_BENCH=OFF
(cd build/fuzz && ctest --output-on-failure -L fuzz)

# Last, so that its summary closes the run: every test under ASan + UBSan.
step asan -DDTU_SANITIZE=address -DDTU_BUILD_BENCH=OFF
(cd build/asan && ctest -j "$jobs" --output-on-failure)

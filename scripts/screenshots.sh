#!/usr/bin/env bash
# Renders the main window and the pages under a virtual X server into
# out/screenshots/, to look at them as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test
if ! command -v xvfb-run >/dev/null; then
  sudo=(); [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth
fi
cmake -S . -B build/test -G Ninja >/dev/null
cmake --build build/test --target ui_screenshots
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" build/test/tests/ui/ui_screenshots out/screenshots
ls out/screenshots

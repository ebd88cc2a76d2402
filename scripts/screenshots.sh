#!/usr/bin/env bash
# Renders the main window and the pages under a virtual X server into
# out/screenshots/, to look at them as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui test cli
if ! command -v xvfb-run >/dev/null; then
  sudo=(); [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends xvfb xauth
fi
cmake -S . -B build/test -G Ninja >/dev/null
# One program per area; each writes its own PNG files.
programs=(tests/ui/ui_screenshots)
for extra in tests/pages/pages_screenshots tests/upgrade/upgrade_screenshots tests/linux/port_page_screenshots \
  tests/monitor/monitor_screenshots tests/terminal/terminal_screenshots tests/server/server_screenshots \
  tests/bench/bench_screenshots tests/records/records_screenshots; do
  target=$(basename "$extra")
  cmake --build build/test --target help | grep "^$target:" >/dev/null && programs+=("$extra")
done
for program in "${programs[@]}"; do
  cmake --build build/test --target "$(basename "$program")"
  # The pictures' jobs keep no record in the home folder.
  DTUTOOL_RECORDS=off QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1366x768x24" "build/test/$program" out/screenshots
done
ls out/screenshots

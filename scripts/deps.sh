#!/usr/bin/env bash
# Installs the Debian 12 packages that the named parts need, and only those
# that are missing, so a second run costs nothing.
#   scripts/deps.sh build gui test package
set -euo pipefail

declare -A groups=(
  [build]="g++ cmake ninja-build pkg-config"
  [gui]="qt6-base-dev libqt6svg6 fonts-wqy-microhei qt6-tools-dev qt6-l10n-tools qt6-translations-l10n"
  # gdb prints the stacks of a hung test; junitparser reads dtuctl's JUnit.
  [test]="libgtest-dev libgmock-dev zlib1g-dev ser2net postgresql gdb python3-junitparser"
  [fuzz]="clang libclang-rt-14-dev"
  [cli]="libcli11-dev libtomlplusplus-dev nlohmann-json3-dev libsqlite3-dev libpq-dev libssl-dev"
  [package]="dpkg-dev file lintian"
  # The terminal benchmark's peers, on a private X server driven by xdotool.
  [bench]="gtkterm cutecom xvfb xdotool"
  # The cross build for Windows and Wine to run it: GoogleTest from its
  # sources, zlib for the tests' reference CRC, the header-only libraries.
  [windows]="mingw-w64 wine wine64 googletest libz-mingw-w64-dev libtomlplusplus-dev nlohmann-json3-dev"
)

wanted=()
for group in "$@"; do
  [[ -n "${groups[$group]:-}" ]] || { echo "deps.sh: unknown group '$group'" >&2; exit 2; }
  read -r -a packages <<<"${groups[$group]}"
  wanted+=("${packages[@]}")
done

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  [[ "$status" == installed ]] || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

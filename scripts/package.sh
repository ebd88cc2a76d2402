#!/usr/bin/env bash
# Builds the Debian package and checks it:
#   scripts/package.sh              # a Release build in build/package
#   scripts/package.sh build/test   # package an existing build folder
# DTU_WERROR=ON makes a warning of the Release build an error, as CI has it.
# Leaves dtutool_<version>_<arch>.deb in the build folder, lists its
# contents, checks that every file a user needs is in it and that the
# programs print the project's version, and fails on any lintian error.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build gui package cli

build=${1:-}
if [[ -z "$build" ]]; then
  build=build/package
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDTU_BUILD_TESTS=OFF -DDTU_BUILD_BENCH=OFF \
    -DDTU_WERROR="${DTU_WERROR:-OFF}" \
    -DDTU_README=/usr/share/doc/dtutool/README.md -DDTU_HOME_URL=file:///usr/share/doc/dtutool/README.md \
    -DDTU_TRANSLATIONS=/usr/share/dtutool/translations >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/dtutool_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/dtutool_"$version"_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Architecture\|Depends\|Recommends\):/&/p'
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$'

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
expected=(
  ./usr/bin/dtutool
  ./usr/bin/dtu-sim
  ./usr/share/applications/dtutool.desktop
  ./usr/share/icons/hicolor/scalable/apps/dtutool.svg
  ./usr/share/man/man1/dtutool.1.gz
  ./usr/share/man/man1/dtu-sim.1.gz
  ./usr/share/dtutool/udev/70-dtutool-modemmanager.rules
  ./usr/share/doc/dtutool/copyright
  ./usr/share/doc/dtutool/changelog.gz
  ./usr/share/doc/dtutool/README.md
  ./usr/share/dtutool/translations/dtutool_zh_CN.qm
  ./usr/share/dtutool/translations/dtutool_en.qm
)
# The documents the README links to, beside it.
for doc in docs/*.md; do
  expected+=("./usr/share/doc/dtutool/$doc")
done
# dtuctl goes in whenever the build has it.
if ninja -C "$build" -t targets all 2>/dev/null | grep -q '^dtuctl: '; then
  expected+=(./usr/bin/dtuctl ./usr/share/man/man1/dtuctl.1.gz)
fi
missing=0
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$contents" || { echo "package.sh: $file is missing" >&2; missing=1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || { echo "package.sh: Depends lacks Qt: $depends" >&2; missing=1; }

# The programs from the package say the project's version.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"
for program in dtutool dtuctl; do
  [[ -x "$root/usr/bin/$program" ]] || continue
  said=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/$program" --version 2>&1)
  [[ "$said" == *"$version"* ]] || { echo "package.sh: $program --version says '$said', not $version" >&2; missing=1; }
done
((missing == 0))

# Errors fail the build; warnings are shown.
lintian --fail-on error "$deb"
echo "== package ok: $deb"

#!/usr/bin/env bash
# Builds the Debian package: the program installed system-wide, started from
# the desktop's menu (or as `pelarin`) on a folder of the user's own
# under ~/.local/share/pelarin.
#   bash scripts/package.sh            ->  build-package/pelarin_<version>_<arch>.deb
# Install it with:
#   sudo apt-get install ./build-package/pelarin_*.deb
# (or dpkg -i, then apt-get install -f for the dependencies).
# PELARIN_PACKAGE_BUILD_DIR chooses another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh package

build=${PELARIN_PACKAGE_BUILD_DIR:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELARIN_BUILD_TESTS=OFF -DPELARIN_BUILD_BENCH=OFF \
      -DPELARIN_FUZZ=OFF -DPELARIN_SANITIZE=OFF >/dev/null
cmake --build "$build" --target pelarin -j"$(nproc)"

desktop-file-validate resources/linux/*.desktop

rm -f "$build"/pelarin_*.deb
(cd "$build" && cpack -G DEB)

deb=$(ls "$build"/pelarin_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
echo "package: $deb"

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite
# headless: the QtTest suites on the offscreen platform, the X11 checks
# under their own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it; it works in its
# portable folder, build/portable/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target pelarin -j"$(nproc)"
exec build/portable/bin/pelarin "$@"

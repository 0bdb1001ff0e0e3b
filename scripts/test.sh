#!/usr/bin/env bash
# Installs what is needed, builds Dexlin and runs every test (run as root on Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2

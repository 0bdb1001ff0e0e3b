#!/usr/bin/env bash
# Installs what is needed, builds Dexlin and runs it (run as root on Debian 12).
# Only the program (and its help file) is built, not the tests and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target dexlin
exec ./build/app/dexlin "$@"

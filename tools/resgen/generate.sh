#!/bin/bash
# Regenerates resources/pictures/* from Natural Earth (world-atlas 2.0.2, pinned
# in package-lock.json) and the Liberation fonts. Same inputs, same bytes.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${BUILD_DIR:-$root/build-resgen}"
fonts="${FONT_DIR:-/usr/share/fonts/truetype/liberation2}"

(cd "$here" && npm ci --no-audit --no-fund)
cmake -S "$root" -B "$build" -DDEXLIN_RESGEN=ON -DDEXLIN_TESTS=OFF -DDEXLIN_BENCH=OFF
cmake --build "$build" -j2 --target dexlin_resgen
mkdir -p "$root/resources/pictures"
QT_QPA_PLATFORM=offscreen "$build/tools/resgen/dexlin_resgen" \
  "$here/node_modules/world-atlas/countries-50m.json" "$fonts" "$root/resources/pictures"

#!/bin/bash
# Regenerates model/Wmm2025Table.cpp and tests/model/Wmm2025TestValues.inc from
# the data files of the geomagnetism package (pinned in package-lock.json).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
(cd "$here" && npm ci --no-audit --no-fund)
node "$here/generate.js" "$here/node_modules/geomagnetism" "$root"

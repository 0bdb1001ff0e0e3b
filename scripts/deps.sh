#!/usr/bin/env bash
# Installs what Dexlin needs to build, run and test on Debian 12 (run as root).
# Each package is pinned to the version it was built and tested with; where the
# archive has moved on (a security update replaces the old file), the current
# version of the same package is installed instead.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t pinned < <(grep -v -E '^\s*(#|$)' "$here/debian-packages.txt")
names=("${pinned[@]%%=*}")

missing=()
for p in "${names[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if ! apt-get install -y -qq --no-install-recommends "${pinned[@]}"; then
  echo "deps.sh: a pinned version is no longer in the archive; installing current versions" >&2
  apt-get install -y -qq --no-install-recommends "${names[@]}"
fi

#!/usr/bin/env bash
# Walks Dexlin through a route on a virtual display and keeps a screenshot of
# every step: the painted window, the pointer over London, London chosen as
# the start (left click), the pointer over New York, New York chosen as the
# destination (right click) with the course and distance. The program's
# clock is set to 15 June 1997, inside the model's years, so the variation
# readout shows. Run as root on Debian 12 (installs what is missing first):
#   bash scripts/demo.sh [OUT_DIR]      (default out/demo)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-out/demo}
build=build

bash scripts/deps.sh
if [ ! -x "$build/app/dexlin" ] || [ ! -x "$build/tools/query/dexlin-query" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j2 --target dexlin dexlin-query
fi
program=$build/app/dexlin
query=$build/tools/query/dexlin-query

# shellcheck source=tests/e2e/xsession.sh
source tests/e2e/xsession.sh
work=$(mktemp -d)
trap 'xs_cleanup; rm -rf "$work"' EXIT
mkdir -p "$out"
rm -f "$out"/[0-9][0-9]-*.png

die() {
    echo "demo: $*" >&2
    exit 1
}
xs_place_pixel "$query" 51.5074 -0.1278 || die "London's pixel"
london=("$PX" "$PY")
xs_place_pixel "$query" 40.7128 -74.0060 || die "New York's pixel"
newyork=("$PX" "$PY")

differs() { [ "$(xs_box_diff "$1" "$2" "$3")" -gt 0 ]; }

xs_start_display "$work" || die "no X server"
xs_start_program faketime '1997-06-15 12:00:00' "$program"
xs_wait_painted 20 "$out/01-window.png" || die "the window did not appear"
painted=$XS_SHOT

xs_point "${london[0]}" "${london[1]}" "$XS_WIN"
over() { differs "$1" "$painted" XS_BOX_CURSOR && differs "$1" "$painted" XS_BOX_VARIATION; }
xs_shoot_until 10 "$out/02-pointer-london.png" over || die "no readout over London"
previous=$XS_SHOT

xdotool click 1
started() { xs_dot_at "$1" FFFF00 "${london[@]}" && differs "$1" "$painted" XS_BOX_START; }
xs_shoot_until 10 "$out/03-start-london.png" started || die "no start at London"
previous=$XS_SHOT

xs_point "${newyork[0]}" "${newyork[1]}" "$XS_WIN"
moved() { differs "$1" "$previous" XS_BOX_CURSOR; }
xs_shoot_until 10 "$out/04-pointer-newyork.png" moved || die "no readout over New York"

xdotool click 3
routed() {
    xs_dot_at "$1" FF0000 "${newyork[@]}" && differs "$1" "$painted" XS_BOX_DEST &&
        differs "$1" "$painted" XS_BOX_COURSE && differs "$1" "$painted" XS_BOX_DISTANCE
}
xs_shoot_until 10 "$out/05-destination-newyork.png" routed || die "no route to New York"

xdotool key Escape
xs_wait_exit 10 || die "Escape did not end the program"
echo "screenshots in $out:"
ls -1 "$out"/[0-9][0-9]-*.png

#!/usr/bin/env bash
# The program as a person uses it: started for real on an X server of its own,
# driven with real pointer and key events, checked on screenshots. Run by ctest:
#   dexlin_e2e.sh PROGRAM QUERY OUT_DIR
# PROGRAM is the window program, QUERY the command-line companion (it confirms
# the map pixel of a place), OUT_DIR receives a screenshot of every step.
#
# Run 1, inside the model's years: the pointer over London, New York and
# Sydney writes the cursor and variation boxes, off the map nothing; a left
# click on London and a right click on New York draw the yellow and red dots
# and write the start, destination, course and distance; a new left click
# moves the yellow dot; on the keyboard, Tab reaches the map and keys choose a
# new destination; Enter opens the about box, Escape closes it; Alt+H opens
# the help viewer clear of the panel, Escape closes it; with the pointer off
# the window, Escape ends the program with status 0.
# With a session bus and pyatspi (at-spi2-core, python3-pyatspi), run 1 also
# reads the window through the AT-SPI bus as a screen reader would: the map
# and the six readouts by name, their texts after the route, and the cursor
# box's texts announced as the pointer moves. Without them that part is skipped.
# Run 2, today's date and Qt's Fusion style chosen on the command line: the
# range message comes before the main window; Enter dismisses it; positions,
# course and distance are written, the variation never.
set -euo pipefail

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: needs Xvfb and xdotool (scripts/deps.sh installs them)"
    exit 77
fi
for tool in faketime setsid import convert compare; do
    command -v "$tool" >/dev/null || { echo "FAIL: needs $tool (scripts/deps.sh installs it)"; exit 1; }
done

program=$1
query=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)

# The accessibility part runs on a session bus of its own.
py=/usr/bin/python3
a11y_missing=
command -v dbus-run-session >/dev/null || a11y_missing="dbus-run-session"
command -v dbus-send >/dev/null || a11y_missing="$a11y_missing dbus-send"
[ -x "$py" ] && "$py" -c 'import pyatspi' 2>/dev/null || a11y_missing="$a11y_missing python3-pyatspi"
if [ -z "$a11y_missing" ] && [ -z "${DEXLIN_E2E_SESSION_BUS:-}" ]; then
    DEXLIN_E2E_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

work=$(mktemp -d)
trap 'xs_cleanup; rm -rf "$work"' EXIT
rm -rf "$out"
mkdir -p "$out"

fail() {
    echo "FAIL: $*"
    if [ -s "$work/program.out" ]; then
        echo "program output:"
        cat "$work/program.out"
    fi
    exit 1
}
ok() { echo "ok: $*"; }

changed() { [ "$(xs_box_diff "$1" "$2" "$3")" -gt 0 ]; }
same() { [ "$(xs_box_diff "$1" "$2" "$3")" -eq 0 ]; }

xs_place_pixel "$query" 51.5074 -0.1278 || fail "London's pixel"
london=("$PX" "$PY")
xs_place_pixel "$query" 40.7128 -74.0060 || fail "New York's pixel"
newyork=("$PX" "$PY")
xs_place_pixel "$query" -33.8688 151.2093 || fail "Sydney's pixel"
sydney=("$PX" "$PY")
ok "London at (${london[*]}), New York at (${newyork[*]}), Sydney at (${sydney[*]})"

# The main window, painted; its first picture is $out/$1.png, kept in $painted.
wait_painted() {
    xs_wait_painted 20 "$out/$1.png" || fail "main window not shown and painted"
    [ "$WW" -gt 450 ] && [ "$WH" -gt 448 ] || fail "main window is ${WW}x${WH}, too small for the panel"
    painted=$XS_SHOT
    ok "main window ${WW}x${WH} at ($WX, $WY), painted, readout boxes empty"
}

# Escape ends the program with status 0.
end_with_escape() {
    xdotool key Escape
    xs_wait_exit 10 || fail "Escape did not end the program"
    [ "$XS_STATUS" -eq 0 ] || fail "exit status $XS_STATUS"
    ok "Escape ended the program with status 0"
}

xs_start_display "$work" || fail "no X server"

# The AT-SPI bus first: the program joins it when it starts.
if [ -z "$a11y_missing" ]; then
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 ||
        a11y_missing="the AT-SPI bus (at-spi2-core)"
fi
if [ -z "$a11y_missing" ]; then
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
else
    echo "SKIP (accessibility part): needs $a11y_missing"
fi
a11y() { timeout 20 "$py" "$here/atspi_tree.py" "$@"; }
# The text of readout $1 in the tree $2 (a dump).
readout() { awk -F '\t' -v n="$1" '$3 == n { print $4; exit }' "$2"; }
# The text of a dexlin-query answer's item $2 (from "$1"), without quotes and spaces round it.
item() { sed -n "s/^$2=\"\\(.*\\)\"\$/\\1/p" <<<"$1" | sed 's/^ *//; s/ *$//'; }

# ---- Run 1: 15 June 1997, inside the model's years; the clock runs on.
xs_start_program faketime '1997-06-15 12:00:00' "$program"
wait_painted run1-01-painted
xs_window_shown "$XS_RANGE_TITLE" && fail "range message shown for a date inside the model's years"

# Pointer moves write the cursor and variation boxes (each place its own
# position and variation), nothing else.
if [ -z "$a11y_missing" ]; then
    a11y listen dexlin 30 >"$work/announced.txt" 2>"$work/listen.err" &
    listener=$!
    xs_until 10 grep -q '^listening' "$work/announced.txt" || fail "no AT-SPI listener: $(cat "$work/listen.err")"
fi
previous=$painted
step=2
for place in london newyork sydney; do
    declare -n xy=$place
    xs_point "${xy[0]}" "${xy[1]}" "$XS_WIN"
    moved() { changed "$1" "$previous" XS_BOX_CURSOR && changed "$1" "$previous" XS_BOX_VARIATION; }
    xs_shoot_until 10 "$out/run1-0$step-pointer-$place.png" moved ||
        fail "pointer over $place: cursor or variation box unchanged"
    for b in XS_BOX_START XS_BOX_DEST XS_BOX_COURSE XS_BOX_DISTANCE; do
        same "$XS_SHOT" "$painted" "$b" || fail "pointer over $place wrote into $b"
    done
    ok "pointer over $place: cursor and variation boxes written"
    previous=$XS_SHOT
    step=$((step + 1))
    unset -n xy
done

# A pixel beside Sydney with the same cursor text: a move there changes no
# text, so nothing is announced (checked with the announcements below).
sydney_text=$(item "$("$query" pixel "${sydney[@]}")" text)
for beside in "0 1" "0 -1" "1 0" "-1 0" ""; do
    [ -z "$beside" ] && fail "no pixel beside Sydney with its text"
    read -r dx dy <<<"$beside"
    [ "$(item "$("$query" pixel $((sydney[0] + dx)) $((sydney[1] + dy)))" text)" = "$sydney_text" ] && break
done
xs_point $((sydney[0] + dx)) $((sydney[1] + dy)) "$XS_WIN"

# Off the map (on the panel below it) the pointer writes nothing. Tab then
# moves the focus from About to Help: once that shows, the move before it has
# been handled and drawn. Shift+Tab gives the focus back to About.
buttons="540 380 636 452"
xs_point 300 420 "$XS_WIN"
xdotool key Tab
focus_moved() { [ "$(xs_rect_diff "$1" "$previous" $buttons)" -gt 0 ]; }
xs_shoot_until 10 "$out/run1-05-pointer-off-map.png" focus_moved || fail "Tab did not move the focus"
same "$XS_SHOT" "$previous" XS_BOX_CURSOR || fail "pointer off the map changed the cursor box"
xdotool key shift+Tab
focus_back() { [ "$(xs_rect_diff "$1" "$previous" $buttons)" -eq 0 ]; }
xs_shoot_until 10 "$work/focus-back.png" focus_back || fail "Shift+Tab did not give the focus back to About"
ok "pointer off the map: nothing written"

# Left click on London: yellow dot and start position.
xs_point "${london[0]}" "${london[1]}" "$XS_WIN" 1
started() { xs_dot_at "$1" FFFF00 "${london[@]}" && changed "$1" "$painted" XS_BOX_START; }
xs_shoot_until 10 "$out/run1-06-start-london.png" started || fail "left click on London: no yellow dot or start position"
for b in XS_BOX_DEST XS_BOX_COURSE XS_BOX_DISTANCE; do
    same "$XS_SHOT" "$painted" "$b" || fail "a left click alone wrote into $b"
done
ok "left click on London: yellow dot, start position"

# Right click on New York: red dot, destination, course and distance.
xs_point "${newyork[0]}" "${newyork[1]}" "$XS_WIN" 3
routed() {
    xs_dot_at "$1" FF0000 "${newyork[@]}" && changed "$1" "$painted" XS_BOX_DEST &&
        changed "$1" "$painted" XS_BOX_COURSE && changed "$1" "$painted" XS_BOX_DISTANCE
}
xs_shoot_until 10 "$out/run1-07-destination-newyork.png" routed ||
    fail "right click on New York: no red dot, destination, course or distance"
xs_dot_at "$XS_SHOT" FFFF00 "${london[@]}" || fail "the yellow dot went with the right click"
route=$XS_SHOT
ok "right click on New York: red dot, destination, course and distance"

if [ -z "$a11y_missing" ]; then
    a11y dump dexlin >"$work/tree.txt" || fail "the program is not on the AT-SPI bus"
    cp "$work/tree.txt" "$out/run1-07-accessibility-tree.txt"
    grep -q $'\timage\tWorld map\t' "$work/tree.txt" || fail "no map image in the accessibility tree"
    at_london=$("$query" pixel "${london[@]}")
    at_newyork=$("$query" pixel "${newyork[@]}")
    lat() { sed -n 's/^latitude=//p' <<<"$1"; }
    lon() { sed -n 's/^longitude=//p' <<<"$1"; }
    leg=$("$query" course "$(lat "$at_london")" "$(lon "$at_london")" "$(lat "$at_newyork")" "$(lon "$at_newyork")")
    for expected in "Cursor position|$(item "$at_newyork" text)" "Start position|$(item "$at_london" text)" \
        "Destination|$(item "$at_newyork" text)" "Great circle bearing|$(item "$leg" courseText)" \
        "Distance|$(item "$leg" distanceText)"; do
        name=${expected%%|*}
        [ "$(readout "$name" "$work/tree.txt")" = "${expected#*|}" ] ||
            fail "accessible $name reads \"$(readout "$name" "$work/tree.txt")\", the box shows \"${expected#*|}\""
    done
    [[ $(readout "Mag. Variation" "$work/tree.txt") =~ ^[0-9]+°\ +[0-9]+\.[0-9]\'\ [EW]$ ]] ||
        fail "accessible variation reads \"$(readout "Mag. Variation" "$work/tree.txt")\""
    ok "AT-SPI: the map and the six readouts with the boxes' texts"
    for place in london newyork sydney; do
        declare -n xy=$place
        text=$(item "$("$query" pixel "${xy[@]}")" text)
        grep -qxF "Cursor position"$'\t'"$text" "$work/announced.txt" ||
            fail "the cursor box's \"$text\" over $place was not announced: $(cat "$work/announced.txt")"
        unset -n xy
    done
    repeated=$(grep "^Cursor position"$'\t' "$work/announced.txt" | uniq -d)
    [ -z "$repeated" ] || fail "an unchanged cursor box was announced again: $repeated"
    ok "AT-SPI: the cursor box's texts announced as the pointer moved, each change once"
    kill "$listener" 2>/dev/null || true
fi

# A new left click moves the start: one yellow dot, a new course and distance.
xs_point "${sydney[0]}" "${sydney[1]}" "$XS_WIN" 1
restarted() {
    xs_dot_at "$1" FFFF00 "${sydney[@]}" && ! xs_dot_at "$1" FFFF00 "${london[@]}" &&
        changed "$1" "$route" XS_BOX_COURSE && changed "$1" "$route" XS_BOX_DISTANCE
}
xs_shoot_until 10 "$out/run1-08-start-sydney.png" restarted ||
    fail "left click on Sydney: the yellow dot did not move, or course and distance stayed"
xs_dot_at "$XS_SHOT" FF0000 "${newyork[@]}" || fail "the red dot went with the new start"
ok "left click on Sydney: the yellow dot moved, course and distance recomputed"

# The keyboard: Tab reaches the map after the two buttons; its point is where
# the pointer last was (Sydney); Shift+Left three times and D choose the
# destination 30 pixels west of Sydney, Shift+Left twice takes the point's
# cross off the new dot.
xdotool key Tab Tab shift+Left shift+Left shift+Left d shift+Left shift+Left
keyed=("$((sydney[0] - 30))" "${sydney[1]}")
by_keys() { xs_dot_at "$1" FF0000 "${keyed[@]}" && ! xs_dot_at "$1" FF0000 "${newyork[@]}"; }
xs_shoot_until 10 "$out/run1-09-destination-by-keys.png" by_keys ||
    fail "keys on the map: no red dot 30 pixels west of Sydney, or the old one stayed"
changed "$XS_SHOT" "$route" XS_BOX_DEST || fail "keys on the map: destination box unchanged"
ok "keys on the map: Tab, Shift+Left and D chose a new destination"

# Enter presses the default button, About, also while the map has the focus;
# Escape closes the box again.
xdotool key Return
xs_find_window "$XS_ABOUT_TITLE" 10 >/dev/null || fail "Enter did not open the about box"
import -display "$DISPLAY" -window root "$out/run1-10-about.png"
ok "Enter opened the about box"
xdotool key Escape
xs_until 10 xs_window_gone "$XS_ABOUT_TITLE" || fail "Escape did not close the about box"
xs_window_shown "$XS_MAIN_TITLE" || fail "the main window went with the about box"
xs_shot "$out/run1-11-after-about.png"
ok "Escape closed the about box; the main window stays"

# Alt+H opens the help viewer, over none of the panel (rows 379 and down);
# Escape closes the viewer alone.
xdotool key alt+h
help_window=$(xs_find_window '^Dexlin Help$' 10) || fail "Alt+H did not open the help viewer"
read -r hx hy hw hh < <(eval "$(xdotool getwindowgeometry --shell "$help_window")"; echo "$X $Y $WIDTH $HEIGHT")
[ $((hy + hh)) -le $((WY + 379)) ] || [ "$hy" -ge $((WY + WH)) ] || [ $((hx + hw)) -le "$WX" ] ||
    [ "$hx" -ge $((WX + WW)) ] || fail "the help viewer (${hw}x${hh} at $hx,$hy) covers the panel"
import -display "$DISPLAY" -window root "$out/run1-12-help.png"
xdotool key Escape
xs_until 10 xs_window_gone '^Dexlin Help$' || fail "Escape did not close the help viewer"
xs_window_shown "$XS_MAIN_TITLE" || fail "the main window went with the help viewer"
ok "Alt+H opened the help viewer (${hw}x${hh} at $hx,$hy) clear of the panel; Escape closed it"

# With the pointer off the window (no window manager: keys go to the window
# holding the X focus), the keys still reach the main window once the boxes are gone.
xdotool mousemove 0 0
end_with_escape

# Run 2 without the accessibility bridge: Qt's AT-SPI bridge keeps a copy of
# the key that dismisses the range message (shown before the main window)
# and never frees it, which the sanitizer build reports as a leak.
unset QT_LINUX_ACCESSIBILITY_ALWAYS_ON

# ---- Run 2: today's date, outside the model's years (should the machine's
# clock lie within them, 2001 stands in for it).
now=()
read -r y m d < <(date '+%Y %-m %-d')
if awk -v y="$y" -v m="$m" -v d="$d" 'BEGIN { t = y + m / 12 + d / 365; exit !(t >= 1995 && t <= 2000) }'; then
    now=(faketime '2001-06-15 12:00:00')
fi
xs_start_program "${now[@]}" "$program" -style Fusion
xs_find_window "$XS_RANGE_TITLE" 20 >/dev/null || fail "no range message"
xs_window_shown "$XS_MAIN_TITLE" && fail "the main window came before the range message"
import -display "$DISPLAY" -window root "$out/run2-01-range-message.png"
ok "range message shown before the main window"
xdotool key Return
xs_until 10 xs_window_gone "$XS_RANGE_TITLE" || fail "Enter did not dismiss the range message"
wait_painted run2-02-painted

previous=$painted
step=3
for place in london newyork; do
    declare -n xy=$place
    xs_point "${xy[0]}" "${xy[1]}" "$XS_WIN"
    written() { changed "$1" "$previous" XS_BOX_CURSOR; }
    xs_shoot_until 10 "$out/run2-0$step-pointer-$place.png" written || fail "pointer over $place: cursor box unchanged"
    same "$XS_SHOT" "$painted" XS_BOX_VARIATION || fail "pointer over $place wrote a variation outside the model's years"
    ok "pointer over $place: position written, no variation"
    previous=$XS_SHOT
    step=$((step + 1))
    unset -n xy
done

xs_point "${london[0]}" "${london[1]}" "$XS_WIN" 1
xs_point "${newyork[0]}" "${newyork[1]}" "$XS_WIN" 3
both() { xs_dot_at "$1" FFFF00 "${london[@]}" && routed "$1" && changed "$1" "$painted" XS_BOX_START; }
xs_shoot_until 10 "$out/run2-05-route.png" both || fail "outside the model's years: no start, destination, course or distance"
same "$XS_SHOT" "$painted" XS_BOX_VARIATION || fail "a variation was written outside the model's years"
ok "outside the model's years: start, destination, course and distance written, no variation"

end_with_escape
echo "screenshots in $out"

#!/usr/bin/env bash
# What a screen reader speaks of the window: Orca itself listens, with its
# settings in a scratch home, on a private session bus and AT-SPI bus beside
# the real program on an X server of its own; keys go in with xdotool, and
# Orca's debug log, which records every utterance also without a speech
# server, is read back. Run by ctest:
#   screen_reader_e2e.sh PROGRAM QUERY OUT_DIR
# QUERY (the command-line companion) gives the texts the map's pixels must
# say. Skipped (status 77) where orca, Xvfb or xdotool is missing.
set -euo pipefail

for tool in orca Xvfb xdotool dbus-run-session dbus-send faketime import; do
    command -v "$tool" >/dev/null || { echo "SKIP: needs $tool (scripts/deps.sh installs it)"; exit 77; }
done
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "SKIP: needs at-spi2-core's $launcher"; exit 77; }

# A session bus of its own, gone with the test.
if [ -z "${DEXLIN_SCREEN_READER_BUS:-}" ]; then
    DEXLIN_SCREEN_READER_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

program=$1
query=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/xsession.sh
source "$here/xsession.sh"

work=$(mktemp -d)
launcher_pid=
orca_pid=
cleanup() {
    local status=$?
    set +e
    xs_cleanup
    [ -n "$orca_pid" ] && kill "$orca_pid" 2>/dev/null
    [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
rm -rf "$out"
mkdir -p "$out"

log=$work/orca.log
fail() {
    echo "FAIL: $*"
    echo "what Orca spoke:"
    grep -o "SPEECH OUTPUT: .*" "$log" 2>/dev/null | sed 's/^/  /' || true
    cp "$log" "$out/orca.log" 2>/dev/null || true
    exit 1
}
ok() { echo "ok: $*"; }

# Orca's settings and the buses' files in the scratch folder, not the user's.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

xs_start_display "$work" || fail "no X server"
"$launcher" --launch-immediately >"$work/launcher.log" 2>&1 &
launcher_pid=$!
# Asked without starting it: the bus's own service file would start a second one.
bus_up() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
xs_until 30 bus_up || fail "the AT-SPI bus did not come up: $(cat "$work/launcher.log")"

# Orca's own program, its debug log written line by line (orca_logged.py),
# speaking English whatever the test's locale (the checks read its words).
env LC_ALL=C.UTF-8 LANGUAGE= /usr/bin/python3 "$here/orca_logged.py" "$log" >"$work/orca.out" 2>&1 &
orca_pid=$!
# Every utterance is one line "... SPEECH OUTPUT: 'TEXT'..."; said waits for
# one, after the log's line $from, that starts with TEXT (fixed text) or
# matches it (-E, an extended regex). press sends keys, counting from there.
from=1
spoke() { [ -f "$log" ] && tail -n +"$from" "$log" | grep -q "$@"; }
said() {
    if [ "$1" = -E ]; then
        xs_until 30 spoke -E "SPEECH OUTPUT: '$2"
    else
        xs_until 30 spoke -F "SPEECH OUTPUT: '$1"
    fi
}
press() {
    from=$(($(wc -l <"$log") + 1))
    xdotool key "$@"
}
said "Screen reader on." || fail "Orca did not start: $(cat "$work/orca.out")"
ok "Orca runs on the private AT-SPI bus"

# A map pixel's position as spoken: the companion's text, spaces run together.
spoken_position() {
    "$query" pixel "$1" "$2" | sed -n 's/^text="\(.*\)"$/\1/p' | tr -s ' ' | sed 's/^ //; s/ $//'
}
item() { sed -n "s/^$2=\"\\(.*\\)\"\$/\\1/p" <<<"$1" | sed 's/^ *//; s/ *$//'; }
# A regular expression matching TEXT literally.
literal() { sed 's/[][\.*^$+?(){}|/]/\\&/g' <<<"$1"; }
variation="variation [0-9]+° [0-9]+\\.[0-9]' [EW]"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
xs_start_program faketime '1997-06-15 12:00:00' "$program"
xs_wait_painted 20 "$out/screen-reader-01-painted.png" || fail "main window not shown and painted"
said "About push button" || fail "the About button's focus was not spoken"

# Tab, Tab: the map, then where its point is (the centre, client pixel 317, 189).
press Tab
said "Help push button" || fail "Tab to Help was not spoken"
press Tab
said "World map image" || fail "Tab to the map was not spoken"
centre=$(spoken_position 317 189)
said -E "notification $(literal "$centre"), $variation" || fail "the map's point \"$centre\" was not spoken on focus"
ok "Tab to the map: \"World map image\" and \"$centre\" with its variation"

# An arrow: the new point and its variation.
press Right
east=$(spoken_position 318 189)
said -E "notification $(literal "$east"), $variation" || fail "Right: \"$east\" was not spoken"
ok "Right: \"$east\" with its variation"

# Shift+Down ten pixels, S: the start's position.
press shift+Down s
start=$(spoken_position 318 199)
said "notification start $start" || fail "S: the start \"$start\" was not spoken"
ok "S: \"start $start\""

# Shift+Left ten pixels, D: the destination, then course and distance with their names and unit.
press shift+Left d
dest=$(spoken_position 308 199)
at_start=$("$query" pixel 318 199)
at_dest=$("$query" pixel 308 199)
lat() { sed -n 's/^latitude=//p' <<<"$1"; }
lon() { sed -n 's/^longitude=//p' <<<"$1"; }
leg=$("$query" course "$(lat "$at_start")" "$(lon "$at_start")" "$(lat "$at_dest")" "$(lon "$at_dest")")
route="destination $dest, course $(item "$leg" courseText), distance $(item "$leg" distanceText) nautical miles"
said "notification $route" || fail "D: \"$route\" was not spoken"
ok "D: \"$route\""
import -display "$DISPLAY" -window root "$out/screen-reader-02-route.png"

# What Orca spoke, kept beside the screenshots.
grep -o "SPEECH OUTPUT: .*" "$log" >"$out/spoken.txt"
xdotool key Escape
xs_wait_exit 10 || fail "Escape did not end the program"
[ "$XS_STATUS" -eq 0 ] || fail "exit status $XS_STATUS"
ok "Escape ended the program with status 0; what Orca spoke is in $out/spoken.txt"

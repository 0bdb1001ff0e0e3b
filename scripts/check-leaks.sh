#!/usr/bin/env bash
# Memory errors and leaks under valgrind memcheck, of the real programs as
# users run them:
#  1. dexlin-query: single requests and a batch of good and bad lines.
#  2. the window program dexlin: a scripted session on a private Xvfb server
#     with the clock at 1997-06-15 12:00 (inside the model's years, so no
#     range message): pointer moves over and off the map, left and right
#     clicks, Enter for the about box, Escape to close it, Alt+H for the help
#     viewer, Escape to end.
# Any memcheck error, or a definite or indirect leak not suppressed in
# scripts/valgrind.supp (which holds only what Qt, fontconfig and the X
# libraries leave), fails the check.
#
# Usage: scripts/check-leaks.sh [path to dexlin]
# (default build/app/dexlin). Builds build/ first when no path is given. When
# the window program is not built, only part 1 runs and the script says so.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dexlin=${1:-build/app/dexlin}
query=build/tools/query/dexlin-query
logs=build/valgrind
supp=$root/scripts/valgrind.supp

if [ ! -x "$query" ] || [ "${1:-}" = "" ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON >/dev/null
  cmake --build build -j2
fi
rm -rf "$logs"
mkdir -p "$logs"

memcheck=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full
          --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect
          --track-origins=yes --num-callers=40 --suppressions="$supp" --gen-suppressions=all
          --child-silent-after-fork=yes)

failed=0
# Runs a command under memcheck with its log in $logs/<name>.log; reports.
check() {
  local name=$1; shift
  local status=0
  "${memcheck[@]}" --log-file="$logs/$name.log" "$@" >"$logs/$name.out" 2>"$logs/$name.err" || status=$?
  if [ $status -eq 99 ] || grep -q 'ERROR SUMMARY: [1-9]' "$logs/$name.log"; then
    echo "check-leaks.sh: $name: memcheck errors or leaks (see $logs/$name.log):" >&2
    grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)' "$logs/$name.log" | head -20 >&2
    failed=1
  else
    echo "check-leaks.sh: $name: clean (exit status $status)"
  fi
}

# ---- 1. the command-line companion ----
requests=$logs/requests.txt
{
  echo "field 51.5 0 1997"
  echo "field 50 8 1997"
  echo "field 90 0 1999.5"
  echo "course 51.5 -0.1 40.7 -74"
  echo "course 0 -180 0 0"
  echo "pixel 0 0"
  echo "pixel 317 246"
  echo "pixel 635 -1"
  echo "field nan 0 1997"
  echo "field 0 0 1e39"
  echo "pixel 2147483648 0"
  echo "bogus words here and more"
  printf 'field %070000d\n' 1
  printf 'pixel 1 2'
} >"$requests"
check query-batch "$query" batch <"$requests"
check query-batch-json "$query" --json --raw batch <"$requests"
check query-field "$query" field 51.5 0 1997
check query-course-json "$query" --json course 60 0 60 90
check query-bad-argument "$query" pixel 1 x
check query-help "$query" --help

# ---- 2. the window program ----
if [ ! -x "$dexlin" ]; then
  echo "check-leaks.sh: window session skipped: $dexlin is not built yet (waiting for the window program)"
  exit $failed
fi

# A private X server; a free display number from 90 up.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

faketime '1997-06-15 12:00:00' "${memcheck[@]}" --log-file="$logs/dexlin.log" "$(realpath "$dexlin")" \
  >"$logs/dexlin.out" 2>"$logs/dexlin.err" &
program_pid=$!

# Waits (bounded) for a visible window whose title matches; prints its id.
wait_window() {
  local title=$1 seconds=$2 id=
  for _ in $(seq $((seconds * 2))); do
    id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.5
  done
  return 1
}
wait_gone() {
  local title=$1 seconds=$2
  for _ in $(seq $((seconds * 2))); do
    xdotool search --onlyvisible --name "$title" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
  return 1
}
fail_session() {
  echo "check-leaks.sh: window session: $1" >&2
  exit 1
}

# Under memcheck the start takes a while.
main=$(wait_window '^Dexlin\.' 180) || fail_session "the main window did not appear (see $logs/dexlin.err)"
xdotool windowfocus --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
sleep 2
# Pointer moves over the map (columns 0..634, rows 0..378) and off it.
for point in "10 10" "317 246" "634 378" "0 0" "600 40" "200 300" "636 390" "100 500" "450 120"; do
  xdotool mousemove --window "$main" $point
  sleep 0.5
done
# Start (left) and destination (right) points, then a new start.
xdotool mousemove --window "$main" 150 120 click 1; sleep 1
xdotool mousemove --window "$main" 480 300 click 3; sleep 1
xdotool mousemove --window "$main" 320 200 click 1; sleep 1
xdotool mousemove --window "$main" 321 201 click 3; sleep 1
# Enter presses the default About button; Escape closes the box.
xdotool key Return
wait_window '^Other products\.' 60 >/dev/null || fail_session "Enter did not open the about box"
sleep 1
xdotool key Escape
wait_gone '^Other products\.' 60 || fail_session "Escape did not close the about box"
sleep 1
# Alt+H presses Help: the help viewer opens beside the dialog and goes with it.
xdotool windowfocus "$main" 2>/dev/null || true
xdotool key alt+h
wait_window '^Help' 60 >/dev/null || fail_session "Alt+H did not open the help viewer"
sleep 1
# Escape ends the program.
xdotool windowfocus "$main" 2>/dev/null || true
xdotool key Escape
for _ in $(seq 240); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$program_pid" 2>/dev/null; then
  fail_session "Escape did not end the program within two minutes"
fi
status=0
wait "$program_pid" || status=$?
program_pid=
if [ $status -eq 99 ] || grep -q 'ERROR SUMMARY: [1-9]' "$logs/dexlin.log"; then
  echo "check-leaks.sh: dexlin: memcheck errors or leaks (see $logs/dexlin.log):" >&2
  grep -E '^==[0-9]+== (Invalid|Conditional|Use of|Syscall|Mismatched|[0-9,]+ bytes in)' "$logs/dexlin.log" | head -20 >&2
  failed=1
else
  echo "check-leaks.sh: dexlin: clean (exit status $status)"
fi
exit $failed

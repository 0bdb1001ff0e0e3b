#!/usr/bin/env bash
# A start of the program, under a real X server, opens no file of its own:
# every picture, layout and text is built in. Run by ctest:
#   no_files_of_its_own.sh PROGRAM SOURCE_DIR
set -euo pipefail
program=$1
source_dir=$2
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own; Xvfb names it once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

# No session bus, whether or not the machine has one: without an address Qt
# would start a bus daemon of its own, which strace -f follows for ever.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-session-bus"

# Inside the model's years, so no range message comes first.
strace -f -qq -e trace=open,openat -o "$work/trace" faketime '1997-06-15 12:00:00' "$program" &
run=$!
timeout 60 xdotool search --sync --onlyvisible --name '^Dexlin' >/dev/null
xdotool mousemove 300 200
# Escape ends it; repeated until it does, in case the first comes too early.
for _ in $(seq 100); do
  kill -0 "$run" 2>/dev/null || break
  xdotool key Escape
  sleep 0.2
done
wait "$run"

# Files successfully opened.
grep -v ENOENT "$work/trace" | grep -o '"[^"]*"' | tr -d '"' | sort -u >"$work/opened"
own=$(grep -E "^$source_dir/|^$(dirname "$program")/|\.(bmp|ico|hlp|HLP|BMP|ICO)$" "$work/opened" || true)
if [ -n "$own" ]; then
  echo "opened files of its own:"
  echo "$own"
  exit 1
fi
echo "opened $(wc -l <"$work/opened") files, none of its own"

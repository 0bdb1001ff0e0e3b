#!/usr/bin/env bash
# Start-up to first painted frame under Xvfb, the main dialog against a bare
# Qt dialog of the same size, alternating in one run; then the peak memory of
# the running program itself.
#   bash bench/startup/run.sh [build-dir] [rounds]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
rounds=${2:-15}
bench=$build/bench/startup/dexlin-startup-bench
[ -x "$bench" ] || cmake --build "$build" -j2 --target dexlin-startup-bench dexlin

# A display of our own; Xvfb names it once it is ready.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$displayfile") QT_QPA_PLATFORM=xcb

# One unmeasured start of each warms the file cache.
"$bench" bare >/dev/null; "$bench" dexlin >/dev/null
: >"$build/startup.txt"
for _ in $(seq "$rounds"); do
  for mode in bare dexlin; do
    DEXLIN_BENCH_T0_NS=$(date +%s%N) "$bench" "$mode" >>"$build/startup.txt"
  done
done
median() { grep "^$1 " "$build/startup.txt" | awk '{print $2}' | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
bare=$(median bare)
dexlin=$(median dexlin)
echo "first frame, median of $rounds: bare Qt dialog $bare ms, Dexlin $dexlin ms," \
     "ratio $(awk -v a="$dexlin" -v b="$bare" 'BEGIN {printf "%.2f", a / b}') (goal: <= 1.2 and < 150 ms)"

# Peak resident memory of the program itself, a second after its first frame.
# faketime runs the program as its child.
faketime '1997-06-15 12:00:00' "$build/app/dexlin" &
wrapper=$!
sleep 2
pid=$(pgrep -P "$wrapper" | head -1)
echo "dexlin peak memory: $(awk '/VmHWM/ {print $2, $3}' "/proc/${pid:-$wrapper}/status") (goal: < 40 MB)"
kill "${pid:-$wrapper}"
wait "$wrapper" 2>/dev/null || true

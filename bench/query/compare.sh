#!/usr/bin/env bash
# dexlin-query batch against GeographicLib's MagneticField on the same random
# field requests, in one run: the same points and dates, each tool's answers
# (field and yearly change) to a file. MagneticField reads our own 1995.0
# coefficient table, written by dexlin-wmm-export. Prints wall and CPU time,
# the rate of each (per second of wall time and per CPU second) and the ratio,
# the largest declination difference between the two and the machine's load.
#   bash bench/query/compare.sh [build-dir] [lines]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
lines=${2:-1000000}
query=$build/tools/query/dexlin-query
export_tool=$build/bench/dexlin-wmm-export
[ -x "$query" ] && [ -x "$export_tool" ] || cmake --build "$build" -j2 --target dexlin-query dexlin-wmm-export

if ! command -v MagneticField >/dev/null; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends geographiclib-tools >/dev/null
  else
    echo "MagneticField is missing: install Debian's geographiclib-tools (apt-get install geographiclib-tools)" >&2
    exit 1
  fi
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$export_tool" "$work"

# The same random points (latitude -80..80, longitude -180..180, dates in the
# model's five years) in each tool's words; MagneticField takes the date first
# and the height in metres.
awk -v n="$lines" -v dexlin="$work/dexlin.in" -v other="$work/other.in" 'BEGIN {
  srand(1995)
  for (i = 0; i < n; i++) {
    lat = -80 + 160 * rand(); lon = -180 + 360 * rand(); year = 1995 + 5 * rand()
    printf "field %.6f %.6f %.4f\n", lat, lon, year > dexlin
    printf "%.4f %.6f %.6f 0\n", year, lat, lon > other
  }
}'
cat "$work/dexlin.in" "$work/other.in" >/dev/null  # both in the file cache

# run NAME COMMAND...: one timed run, input and output files given by the command.
run() {
  local name=$1
  shift
  /usr/bin/time -f "%e %U %S %M" -o "$work/$name.time" "$@"
  read -r wall user sys rss <"$work/$name.time"
  awk -v name="$name" -v n="$lines" -v wall="$wall" -v cpu="$(echo "$user $sys" | awk '{print $1 + $2}')" -v rss="$rss" \
    'BEGIN { printf "%-26s %7.2f s wall %7.2f s CPU %9.0f /s %9.0f /CPU-s %6.1f MB peak\n",
             name, wall, cpu, n / wall, n / cpu, rss / 1024 }'
  echo "$wall" >"$work/$name.wall"
}

echo "$lines field requests; load average before: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) processors"
# Each run writes over the same answers file, after one untimed run: on a
# virtual machine, writing hundreds of megabytes into page-cache pages the
# system has not used yet costs far more kernel time than into pages it
# freed a moment ago, and that would be the machine's cost, not the tool's.
"$query" --model igrf1995 batch <"$work/dexlin.in" >"$work/answers"
run "dexlin-query (all cores)" sh -c "'$query' --model igrf1995 batch <'$work/dexlin.in' >'$work/answers'"
all=$(cksum <"$work/answers")
head -n 10000 "$work/answers" >"$work/dexlin.out"  # for the declinations below
run "dexlin-query --threads 1" sh -c "'$query' --model igrf1995 --threads 1 batch <'$work/dexlin.in' >'$work/answers'"
[ "$(cksum <"$work/answers")" = "$all" ] || echo "WARNING: the outputs of one and all threads differ" >&2
run "dexlin-query --json" sh -c "'$query' --model igrf1995 --json batch <'$work/dexlin.in' >'$work/answers'"
rm -f "$work/answers"
run "MagneticField -r" sh -c "MagneticField -r -p 10 -d '$work' -n dexlin1995 <'$work/other.in' >'$work/other.out'"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

awk -v a="$(cat "$work/dexlin-query (all cores).wall")" -v b="$(cat "$work/dexlin-query --threads 1.wall")" \
  -v j="$(cat "$work/dexlin-query --json.wall")" -v g="$(cat "$work/MagneticField -r.wall")" 'BEGIN {
  printf "MagneticField takes %.2f times the wall time of dexlin-query on all cores, %.2f times on one\n", g / a, g / b
  printf "JSON takes %.2f times the wall time of text\n", j / a
}'

# Declination of the first 10000 answers: ours from whole degrees and minutes
# (west degrees carry the sign, the minutes only when the degrees are 0),
# MagneticField's from the first item of its first line per request.
awk 'NR > 10000 { exit } { delete v; for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
  if (!("declinationMinutes" in v)) { print "none"; next }
  d = v["declinationDegrees"]; m = v["declinationMinutes"] / 60; print d < 0 ? d - m : d + m }' \
  "$work/dexlin.out" >"$work/d1"
awk 'NR > 20000 { exit } NR % 2 == 1 { print $1 }' "$work/other.out" >"$work/d2"
paste "$work/d1" "$work/d2" | awk '$1 == "none" { next } { d = $1 - $2; if (d > 180) d -= 360; if (d < -180) d += 360
  if (d < 0) d = -d; if (d > m) { m = d; at = NR }; s += d; k++ }
  END { printf "declination difference over %d points: mean %.5f, largest %.4f degrees (line %d)\n", k, s / k, m, at }'

#!/usr/bin/env bash
# Checks an installed Dexlin where the freedesktop conventions put it: the
# program with its help file beside it, the companion, the desktop entry, the
# icons and the AppStream metadata, each valid and naming the others.
#   check-installed.sh PREFIX                 an installed tree (for example /usr)
#   check-installed.sh --build BUILD_DIR      installs BUILD_DIR into a scratch
#                                             folder first (run by ctest)
# Exit status 77 (skipped) where desktop-file-validate or appstreamcli is missing.
set -euo pipefail

fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null ||
        { echo "SKIP: needs $tool (scripts/deps.sh installs desktop-file-utils and appstream)"; exit 77; }
done

if [ "$1" = --build ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    DESTDIR=$scratch cmake --install "$2" --prefix /usr >/dev/null || fail "cmake --install $2"
    prefix=$scratch/usr
else
    prefix=$1
fi

id=org.dexlin.Dexlin
bin=$prefix/bin
desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml

[ -x "$bin/dexlin" ] || fail "$bin/dexlin missing"
[ -x "$bin/dexlin-query" ] || fail "$bin/dexlin-query missing"
# The program looks for its help file by its own path with ".HLP".
[ -f "$bin/dexlin.HLP" ] && [ -r "$bin/dexlin.HLP" ] || fail "no help file beside the program ($bin/dexlin.HLP)"
[ -f "$desktop" ] || fail "$desktop missing"
[ -f "$metainfo" ] || fail "$metainfo missing"

desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo"
    fail "appstreamcli validate $metainfo"
}

# The entry starts the installed program and names the installed icons; the
# metadata names the entry and the program.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$bin/${exec_line%% *}" ] || fail "the desktop entry starts \"$exec_line\", not an installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 32 128; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ -f "$png" ] || fail "icon $png missing"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "$png is ${w}x${h}, not ${size}x${size}"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not name $id.desktop"
grep -q "<binary>${exec_line%% *}</binary>" "$metainfo" || fail "the metadata does not name the program"
echo "ok: installed under $prefix: program, help file, companion, desktop entry, icons, metadata"

#!/usr/bin/env bash
# Checks an installed Dexlin where the freedesktop conventions put it: the
# program in lib/dexlin with its help file beside it and its link in bin, the
# companion, the manual pages (rendered by man without a warning), the
# copyright file and changelog, the desktop entry, the icons and the AppStream
# metadata, each valid and naming the others.
#   check-installed.sh PREFIX                 an installed tree (for example /usr)
#   check-installed.sh --build BUILD_DIR      installs BUILD_DIR into a scratch
#                                             folder first (run by ctest)
# Exit status 77 (skipped) where desktop-file-validate, appstreamcli or man is missing.
set -euo pipefail

fail() {
    echo "FAIL: $*"
    exit 1
}
for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null ||
        { echo "SKIP: needs $tool (scripts/deps.sh installs desktop-file-utils, appstream and man-db)"; exit 77; }
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

program=$prefix/lib/dexlin/dexlin
[ -x "$program" ] && [ ! -L "$program" ] || fail "$program missing"
[ -x "$bin/dexlin-query" ] || fail "$bin/dexlin-query missing"
# bin/dexlin is a relative link to the program, so the tree can move.
[ "$(readlink "$bin/dexlin")" = ../lib/dexlin/dexlin ] ||
    fail "$bin/dexlin is not a link to ../lib/dexlin/dexlin: $(ls -l "$bin/dexlin" 2>&1)"
[ "$(realpath "$bin/dexlin")" = "$(realpath "$program")" ] || fail "$bin/dexlin does not lead to $program"
# The program looks for its help file by its own path (the link resolved) with ".HLP".
[ -f "$program.HLP" ] && [ -r "$program.HLP" ] || fail "no help file beside the program ($program.HLP)"
[ ! -e "$bin/dexlin.HLP" ] || fail "a help file in $bin"
# Manual pages, gzipped, rendered at 80 columns without a single warning.
for page in dexlin dexlin-query; do
    man_file=$prefix/share/man/man1/$page.1.gz
    [ -f "$man_file" ] || fail "$man_file missing"
    gzip -t "$man_file" || fail "$man_file is not gzip"
    warnings=$(MANWIDTH=80 man --warnings -l "$man_file" 2>&1 >/dev/null) || fail "man cannot render $man_file"
    [ -z "$warnings" ] || fail "man warns about $man_file: $warnings"
    for option in --help --version --model; do
        zgrep -qF -- "${option//-/\\-}" "$man_file" || fail "$man_file does not mention $option"
    done
done
for option in --json --raw --threads; do
    zgrep -qF -- "${option//-/\\-}" "$prefix/share/man/man1/dexlin-query.1.gz" ||
        fail "dexlin-query(1) does not mention $option"
done
doc=$prefix/share/doc/dexlin
head -n 1 "$doc/copyright" 2>/dev/null | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
    fail "$doc/copyright missing or not machine-readable"
zcat "$doc/changelog.gz" 2>/dev/null | head -n 1 | grep -q '^dexlin (' || fail "$doc/changelog.gz missing"
[ -f "$desktop" ] || fail "$desktop missing"
[ -f "$metainfo" ] || fail "$metainfo missing"

desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo"
    fail "appstreamcli validate $metainfo"
}

# The entry starts the installed program and names the installed icons; the
# metadata names the entry and the program.
# The entry's own Exec (in [Desktop Entry]), the window on the model chosen for
# the date, and its action's, the program as first designed.
exec_line=$(sed -n '/^\[Desktop Entry\]/,/^\[/ s/^Exec=//p' "$desktop")
[ -x "$bin/${exec_line%% *}" ] || fail "the desktop entry starts \"$exec_line\", not an installed program"
[ "$exec_line" = "dexlin --model auto" ] || fail "the desktop entry starts \"$exec_line\", not the model chosen for the date"
grep -qx 'Actions=reference-field-1995;' "$desktop" || fail "the desktop entry lists no reference-field-1995 action"
action_exec=$(sed -n '/^\[Desktop Action reference-field-1995\]/,/^\[/ s/^Exec=//p' "$desktop")
[ "$action_exec" = "dexlin" ] || fail "the reference-field-1995 action starts \"$action_exec\""
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
echo "ok: installed under $prefix: program and its link, help file, companion, manual pages, copyright, desktop entry, icons, metadata"

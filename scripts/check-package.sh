#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: lintian
# finds nothing (packaging/lintian-overrides gives the reason for each tag it
# leaves), installs it with apt-get, checks the installed files (program in
# /usr/lib/dexlin with its help file beside it and a link in /usr/bin, manual
# pages, copyright, desktop entry, icons, AppStream metadata), that every
# library the program and its X platform plugin load comes from the package's
# declared dependencies, starts the program through /usr/bin/dexlin on a
# virtual display (a position written, the help file beside the real program
# opened, Escape ends it with status 0), and removes the package again. Run as
# root on Debian 12:
#   bash scripts/check-package.sh [BUILD_DIR]      (default build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
apt_options=(-y -qq -o DPkg::Lock::Timeout=300)

fail() {
    echo "check-package: FAIL: $*" >&2
    exit 1
}
ok() { echo "check-package: ok: $*"; }

bash scripts/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDEXLIN_WERROR=ON >/dev/null
# cpack builds everything first, as an install does; after scripts/test.sh there is nothing left to build.
cmake --build "$build" -j2
rm -f "$build"/dexlin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/dexlin_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single dexlin_*.deb"
deb=$(realpath "${debs[0]}")
ok "built $(basename "$deb")"

# The control record: shared-library dependencies found by dpkg-shlibdeps,
# and the fonts the readouts and the controls are drawn in.
dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libgeographiclib23 fonts-liberation2 fonts-dejavu-core; do
    grep -qxF "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
ok "Depends: $depends"

# Debian's own checks: no error and no warning (tags the package overrides
# carry their reasons in packaging/lintian-overrides).
# (Its note on stderr that it runs as root is no finding.)
lintian_out=$(lintian --fail-on error,warning "$deb") || { echo "$lintian_out" >&2; fail "lintian"; }
[ -z "$lintian_out" ] || { echo "$lintian_out" >&2; fail "lintian reports: $lintian_out"; }
ok "lintian: no errors, no warnings"

# Work on the machine's own package set: a dexlin installed before goes first.
if dpkg-query -W -f='${Status}' dexlin 2>/dev/null | grep -q 'install ok installed'; then
    echo "check-package: removing the dexlin installed before"
    apt-get remove --purge "${apt_options[@]}" dexlin
fi

source tests/e2e/xsession.sh
work=$(mktemp -d)
installed=
cleanup() {
    xs_cleanup
    rm -rf "$work"
    if [ -n "$installed" ]; then apt-get remove --purge "${apt_options[@]}" dexlin >/dev/null || true; fi
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive apt-get install "${apt_options[@]}" "$deb"
installed=yes
ok "installed"

# Installed files, where the freedesktop conventions put them, and the package's.
bash packaging/check-installed.sh /usr || fail "installed files"
id=org.dexlin.Dexlin
desktop=/usr/share/applications/$id.desktop
metainfo=/usr/share/metainfo/$id.metainfo.xml
[ "$(command -v dexlin)" = /usr/bin/dexlin ] || fail "dexlin is not the one on PATH"
for f in /usr/bin/dexlin /usr/lib/dexlin/dexlin /usr/lib/dexlin/dexlin.HLP /usr/bin/dexlin-query \
    /usr/share/man/man1/dexlin.1.gz /usr/share/man/man1/dexlin-query.1.gz /usr/share/doc/dexlin/copyright \
    "$desktop" "$metainfo"; do
    [ "$(dpkg-query -S "$f" | cut -d: -f1)" = dexlin ] || fail "$f is not the package's"
done
/usr/bin/dexlin-query pixel 317 139 >/dev/null || fail "dexlin-query does not answer"
ok "installed files in place and valid"

# Every library the program and Qt's X platform plugin load belongs to a
# package the dependencies bring in, so a clean system gets them all.
closure=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances dexlin | grep -v '^ ' | sed 's/:.*//' | sort -u)
plugin=$(dpkg-query -L libqt6gui6 | grep '/platforms/libqxcb\.so$') || fail "no X platform plugin"
libs=$(ldd /usr/bin/dexlin "$plugin" | awk '/=>/ { print $3 }' | sort -u)
! ldd /usr/bin/dexlin "$plugin" | grep -q 'not found' || fail "libraries not found: $(ldd /usr/bin/dexlin | grep 'not found')"
# The package that holds a file, under its own name, its target's, or the
# target's without /usr (the merged /usr keeps dpkg's older names).
owner_of() {
    local real candidate
    real=$(realpath "$1")
    for candidate in "$1" "$real" "${real#/usr}"; do
        dpkg-query -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 | grep . && return 0
    done
    return 1
}
for lib in $libs; do
    owner=$(owner_of "$lib") || fail "$lib belongs to no package"
    grep -qx "$owner" <<<"$closure" || fail "$lib comes from $owner, which the dependencies do not bring in"
done
ok "$(wc -w <<<"$libs") libraries, all from the dependencies"

# A real start of the installed program through its link, in a bare
# environment, inside the model's years: the pointer over London writes its
# position, the Help button (Alt+H) opens the help file beside the real
# program (the link resolved), and Escape on the main window ends it with
# status 0.
xs_start_display "$work" || fail "no X server"
xs_start_program env -i PATH=/usr/bin:/bin DISPLAY="$DISPLAY" HOME="$work" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
    strace -f -qq -e trace=openat -o "$work/trace" faketime '1997-06-15 12:00:00' /usr/bin/dexlin
xs_wait_painted 30 "$work/painted.png" || fail "the installed program's window did not appear"
xs_point 317 139 "$XS_WIN"
written() { [ "$(xs_box_diff "$1" "$work/painted.png" XS_BOX_CURSOR)" -gt 0 ]; }
xs_shoot_until 10 "$work/pointer.png" written || fail "the installed program wrote no position"
xdotool key alt+h
# The viewer's title is the help document's own; the trace below shows which file it read.
xs_find_window '^Dexlin Help$' 10 >/dev/null || fail "Help did not open /usr/lib/dexlin/dexlin.HLP"
xdotool windowfocus --sync "$XS_WIN" key Escape
xs_wait_exit 10 || fail "Escape did not end the installed program"
[ "$XS_STATUS" -eq 0 ] || fail "the installed program exited with status $XS_STATUS"
grep -Eq 'openat\(AT_FDCWD, "/usr/lib/dexlin/dexlin\.HLP", O_RDONLY[^)]*\) = [0-9]' "$work/trace" ||
    fail "the installed program did not read /usr/lib/dexlin/dexlin.HLP"
ok "installed program ran, read its help file and ended with status 0"

apt-get remove --purge "${apt_options[@]}" dexlin
installed=
[ ! -e /usr/bin/dexlin ] && [ ! -L /usr/bin/dexlin ] && [ ! -e /usr/lib/dexlin ] && [ ! -e "$desktop" ] ||
    fail "files left after removal"
ok "removed again"

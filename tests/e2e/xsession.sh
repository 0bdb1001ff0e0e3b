# shellcheck shell=bash disable=SC2034  # the sourcing scripts use the names set here
# Driving the window program on a virtual X display, as a person would: a
# display of its own (Xvfb, no window manager, so an X window is exactly a
# client area), real pointer and key events (xdotool), screenshots
# (ImageMagick). Sourced by the end-to-end test, the demo and the package check.
#
# Every wait is bounded; xs_cleanup ends the program and the display.

XS_DISPLAY_PID=
XS_PROGRAM_PID=
XS_WORK=

# Starts Xvfb on a free display (it names the display once it is ready) and
# exports DISPLAY. $1: a scratch folder.
xs_start_display() {
    XS_WORK=$1
    : >"$XS_WORK/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$XS_WORK/display" 2>"$XS_WORK/xvfb.log" &
    XS_DISPLAY_PID=$!
    xs_until 10 test -s "$XS_WORK/display" || { echo "Xvfb did not start" >&2; return 1; }
    DISPLAY=:$(cat "$XS_WORK/display")
    export DISPLAY
    # On this display, whatever platform the caller's session prefers.
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    # Qt wants a private runtime folder; one of our own keeps it quiet.
    mkdir -m 700 "$XS_WORK/runtime"
    export XDG_RUNTIME_DIR=$XS_WORK/runtime
}

# Ends the program (if still running) and the display. Safe under errexit,
# for use in an EXIT trap.
xs_cleanup() {
    if [ -n "$XS_PROGRAM_PID" ]; then
        kill -- "-$XS_PROGRAM_PID" 2>/dev/null || true
        wait "$XS_PROGRAM_PID" 2>/dev/null || true
    fi
    if [ -n "$XS_DISPLAY_PID" ]; then
        kill "$XS_DISPLAY_PID" 2>/dev/null || true
        wait "$XS_DISPLAY_PID" 2>/dev/null || true
    fi
    XS_PROGRAM_PID=
    XS_DISPLAY_PID=
}

# Runs "$@" every 0.1 s until it succeeds or $1 seconds have passed.
xs_until() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Starts the program in the background: xs_start_program COMMAND... (for
# example faketime '1997-06-15 12:00:00' build/app/dexlin). It gets a process
# group of its own, so that xs_cleanup ends it together with what the
# command started (faketime runs the program as its child).
xs_start_program() {
    setsid "$@" >"$XS_WORK/program.out" 2>&1 &
    XS_PROGRAM_PID=$!
}

# Waits up to $1 seconds for the program to end; sets XS_STATUS to its exit status.
xs_wait_exit() {
    local seconds=$1
    XS_STATUS=
    xs_until "$seconds" xs_program_gone || return 1
    local status=0
    wait "$XS_PROGRAM_PID" || status=$?
    XS_PROGRAM_PID=
    XS_STATUS=$status
}

# Gone, or ended and waiting to be collected (a zombie).
xs_program_gone() {
    local stat
    stat=$(cat "/proc/$XS_PROGRAM_PID/stat" 2>/dev/null) || return 0
    stat=${stat##*) }
    [[ $stat == Z* ]]
}

# Prints the id of the visible window whose title matches the regular
# expression $1, waiting up to $2 seconds for it.
xs_find_window() {
    local ids
    ids=$(timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null) || return 1
    head -n 1 <<<"$ids"
}

# Succeeds while a visible window's title matches $1.
xs_window_shown() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
xs_window_gone() { ! xs_window_shown "$1"; }

# Sets WX, WY, WW, WH to the window $1's position and size on the screen.
xs_geometry() {
    local WINDOW X Y WIDTH HEIGHT SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# Screenshot of the window last measured by xs_geometry into $1.
xs_shot() { import -display "$DISPLAY" -window root -crop "${WW}x${WH}+${WX}+${WY}" +repage "$1"; }

# Pointer to the client point ($1, $2) of window $3, and optionally a click
# of button $4 (1 left, 3 right).
xs_point() {
    xdotool mousemove --sync --window "$3" "$1" "$2"
    if [ $# -ge 4 ]; then xdotool click "$4"; fi
}

# The colour of pixel ($2, $3) of the picture $1, as RRGGBB.
xs_pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }

# How many pixels of the rectangle x0..x1, y0..y1 (inclusive) differ
# between the pictures $1 and $2.
xs_rect_diff() {
    local geometry="$(($5 - $3 + 1))x$(($6 - $4 + 1))+$3+$4"
    # compare exits 1 when the pictures differ; only its count matters here.
    compare -metric AE "$1[$geometry]" "$2[$geometry]" null: 2>&1 || true
}

# How many pixels of colour $2 (RRGGBB) the rectangle x0..x1, y0..y1 of
# picture $1 holds.
xs_rect_count() {
    local geometry="$(($5 - $3 + 1))x$(($6 - $4 + 1))+$3+$4"
    convert "$1" -crop "$geometry" +repage -fill black +opaque "#$2" -fill white -opaque "#$2" \
        -format '%[fx:round(mean*w*h)]' info:
}

# ---- Dexlin's window.

XS_MAIN_TITLE='^Dexlin\.'
XS_RANGE_TITLE='^Year out of range\.$'
XS_ABOUT_TITLE='^Other products\.$'

# The readout boxes' white insides, client pixels x0 y0 x1 y1 (inclusive).
XS_BOX_CURSOR="133 386 234 402"
XS_BOX_VARIATION="349 386 450 402"
XS_BOX_START="133 409 234 425"
XS_BOX_DEST="133 432 234 448"
XS_BOX_COURSE="349 409 395 425"
XS_BOX_DISTANCE="349 432 395 448"
XS_BOXES=(XS_BOX_CURSOR XS_BOX_VARIATION XS_BOX_START XS_BOX_DEST XS_BOX_COURSE XS_BOX_DISTANCE)

# Succeeds when the box named $2 (one of XS_BOXES) is white all over in picture $1.
xs_box_white() {
    local r
    read -ra r <<<"${!2}"
    [ "$(xs_rect_count "$1" FFFFFF "${r[@]}")" -eq $(((r[2] - r[0] + 1) * (r[3] - r[1] + 1))) ]
}

# Succeeds when every readout box of picture $1 is white: the map picture as
# painted, nothing written yet.
xs_panel_blank() {
    local b
    for b in "${XS_BOXES[@]}"; do xs_box_white "$1" "$b" || return 1; done
}

# Differing pixels of the box named $3 between pictures $1 and $2.
xs_box_diff() { xs_rect_diff "$1" "$2" ${!3}; }

# Succeeds when a marker dot of colour $2 (RRGGBB) is centred on pixel $3 $4
# of picture $1: the centre has that colour, and so has the inside of the
# 8 x 8 disc around it.
xs_dot_at() {
    [ "$(xs_pixel "$1" "$3" "$4")" = "$2" ] &&
        [ "$(xs_rect_count "$1" "$2" $(($3 - 4)) $(($4 - 4)) $(($3 + 4)) $(($4 + 4)))" -ge 20 ]
}

# The map pixel of latitude $2, longitude $3 (degrees, north and east
# positive) from the map's projection (latitudes scaled by 63/80 onto a
# tangent scale, 246 rows from the equator to 80 degrees N; 634 columns for
# 360 degrees), confirmed by the companion $1 (dexlin-query): on the map and
# within a pixel of the place. Sets PX, PY.
xs_place_pixel() {
    local query=$1 lat=$2 lon=$3 answer
    read -r PX PY < <(awk -v lat="$lat" -v lon="$lon" 'BEGIN {
        d = atan2(0, -1) / 180
        t = sin(lat * 63 / 80 * d) / cos(lat * 63 / 80 * d)
        printf "%d %d\n", int((lon + 180) * 634 / 360 + 0.5), int(246 - 246 * t / (sin(63 * d) / cos(63 * d)) + 0.5)
    }')
    answer=$("$query" --json pixel "$PX" "$PY") || return 1
    awk -v a="$answer" -v lat="$lat" -v lon="$lon" 'BEGIN {
        if (a !~ /"inside":true/) exit 1
        match(a, /"latitude":[^,]*/); la = substr(a, RSTART + 11, RLENGTH - 11) + 0
        match(a, /"longitude":[^,]*/); lo = substr(a, RSTART + 12, RLENGTH - 12) + 0
        exit !((la - lat) ^ 2 < 0.8 ^ 2 && (lo - lon) ^ 2 < 0.6 ^ 2)
    }' || { echo "pixel ($PX, $PY) is not ($lat, $lon): $answer" >&2; return 1; }
}

# Screenshots of the window into $2 until "$3..." holds for it (the picture
# is also in $XS_SHOT), for at most $1 seconds.
xs_shoot_until() {
    local seconds=$1
    XS_SHOT=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while :; do
        xs_shot "$XS_SHOT"
        "$@" "$XS_SHOT" && return 0
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Waits up to $1 seconds for the main window and its first painted frame
# (every readout box white), with the picture in $2. Sets XS_WIN and the
# window's geometry.
xs_wait_painted() {
    XS_WIN=$(xs_find_window "$XS_MAIN_TITLE" "$1") || { echo "no main window" >&2; return 1; }
    xs_geometry "$XS_WIN"
    xs_shoot_until "$1" "$2" xs_panel_blank || { echo "the panel was not painted" >&2; return 1; }
}

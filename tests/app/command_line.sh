#!/usr/bin/env bash
# The window program's command line, run for real with no display at all:
# --help and --version answer without one, a bad line is refused with the
# usage on stderr, and a start without a display says so in one line.
# Run by ctest: command_line.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A display number whose server does not exist.
dead=90
while [ -e "/tmp/.X11-unix/X$dead" ] || [ -e "/tmp/.X$dead-lock" ]; do dead=$((dead + 1)); done

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Runs the program with no display in its environment (or the one given;
# "platform=NAME" asks for that Qt platform instead, with no display).
run() {
  local display=$1
  shift
  local platform=(-u QT_QPA_PLATFORM)
  case $display in platform=*)
    platform=(QT_QPA_PLATFORM="${display#platform=}")
    display=
    ;;
  esac
  if [ -n "$display" ]; then
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" timeout 20 "$program" "$@" >"$work/out" 2>"$work/err"
  else
    env -u DISPLAY -u WAYLAND_DISPLAY "${platform[@]}" timeout 20 "$program" "$@" >"$work/out" 2>"$work/err"
  fi
  echo $?
}

usage_line="Usage: dexlin "

# A coefficient file cut short: its closing line comes before degree 1 ends.
printf '    2025.0            WMM-2025        11/13/2024\n   1  0  -29351.8       0.0       12.0        0.0\n%s\n' \
  999999999999999999999999999999999999999999999999 >"$work/bad.cof"
# A whole one of degree 1: read, and then only the display is missing.
printf '    2025.0            TINY-2025        11/13/2024\n%s\n%s\n%s\n' \
  '  1  0  -29351.8       0.0       12.0        0.0' '  1  1   -1410.8    4545.4        9.7      -21.5' \
  999999999999999999999999999999999999999999999999 >"$work/good.cof"
# A FIFO with no writer: opening it would wait for ever.
mkfifo "$work/fifo"

# name ; display ; arguments ; status ; first line of stdout ; first line of stderr
while IFS=';' read -r name display args status out err; do
  [ -z "$name" ] && continue
  read -r -a argv <<<"$args"
  argv=("${argv[@]//%NL%/$'\n'}")  # a newline inside an argument
  got=$(run "$display" "${argv[@]}")
  [ "$got" = "$status" ] || fail "$name: exit status $got, expected $status ($(head -c 300 "$work/err"))"
  [ "$(head -n1 "$work/out")" = "$out" ] || fail "$name: stdout starts '$(head -n1 "$work/out")', expected '$out'"
  [ "$(head -n1 "$work/err")" = "$err" ] || fail "$name: stderr starts '$(head -n1 "$work/err")', expected '$err'"
  # A refused line gets the usage after its one line; a bad model file only its line.
  if [ "$status" = 2 ] && [ "${name#model_file}" = "$name" ]; then
    grep -q "^$usage_line" "$work/err" || fail "$name: no usage on stderr"
    [ -s "$work/out" ] && fail "$name: wrote to stdout"
  fi
done <<EOT
help;;--help;0;${usage_line}[--model auto|wmm2025|igrf14|igrf1995|FILE] [--help] [--version];
version;;--version;0;dexlin $version;
help_wins_over_what_follows;;--help --bogus;0;${usage_line}[--model auto|wmm2025|igrf14|igrf1995|FILE] [--help] [--version];
unknown_option;;--bogus;2;;dexlin: unknown option '--bogus'
unknown_before_help;;--bogus --help;2;;dexlin: unknown option '--bogus'
single_dash;;-;2;;dexlin: unknown option '-'
qt_style_goes_to_qt;;-style Fusion;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
qt_flag_with_two_dashes;;--reverse -nograb;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
qt_equals_form;;-stylesheet=$work/none.qss --model wmm2025;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
qt_value_may_look_like_an_option;;-qwindowtitle --help;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
qt_value_missing;;-style;2;;dexlin: option '-style' needs a value
qt_value_missing_after_others;;-reverse -platform;2;;dexlin: option '-platform' needs a value
qt_equals_empty;;-session=;2;;dexlin: option '-session' needs a value
qt_name_one_letter_more;;-styles Fusion;2;;dexlin: unknown option '-styles'
argument;;map.png;2;;dexlin: unexpected argument 'map.png'
echo_cut_at_40;;--xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx;2;;dexlin: unknown option '--xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx'
echo_cut_past_40;;--xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxy;2;;dexlin: unknown option '--xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx...'
model_needs_a_value;;--model;2;;dexlin: option '--model' needs a value
model_empty_value;;--model=;2;;dexlin: option '--model' needs a value
model_file_missing;;--model $work/none.cof;2;;dexlin: $work/none.cof: No such file or directory (nor a built-in model: auto, wmm2025, igrf14, igrf1995)
model_file_fifo;;--model $work/fifo;2;;dexlin: $work/fifo: is not a regular file (a FIFO, a device or a socket)
model_file_directory;;--model $work;2;;dexlin: $work: is a directory
model_file_bad;;--model $work/bad.cof;2;;dexlin: $work/bad.cof: line 3: degree 1 ends before order 1
model_file_name_with_newline;;--model $work/new%NL%line;2;;dexlin: $work/new?line: No such file or directory (nor a built-in model: auto, wmm2025, igrf14, igrf1995)
model_file_not_one;;--model /dev/zero;2;;dexlin: /dev/zero: is not a regular file (a FIFO, a device or a socket)
model_file_good_no_display;;--model $work/good.cof;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
model_then_help;;--model wmm2025 --help;0;${usage_line}[--model auto|wmm2025|igrf14|igrf1995|FILE] [--help] [--version];
model_wmm2025_no_display;;--model wmm2025;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
model_equals_form_no_display;;--model=igrf1995;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
no_display;;;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
dead_display;:$dead;;1;;dexlin: cannot open a display: no X11 or Wayland display could be reached (check DISPLAY or WAYLAND_DISPLAY)
platform_not_installed;platform=bogus;;1;;dexlin: cannot open a display: the platform "bogus" could not be loaded (check QT_QPA_PLATFORM)
platform_name_cut_past_40;platform=ppppppppppppppppppppppppppppppppppppppppq;;1;;dexlin: cannot open a display: the platform "pppppppppppppppppppppppppppppppppppppppp..." could not be loaded (check QT_QPA_PLATFORM)
EOT

# No display: exactly one line, nothing of Qt's own warnings.
run "" >/dev/null
[ "$(wc -l <"$work/err")" = 1 ] || fail "no display: $(wc -l <"$work/err") lines on stderr: $(cat "$work/err")"
run ":$dead" >/dev/null
[ "$(wc -l <"$work/err")" = 1 ] || fail "dead display: $(wc -l <"$work/err") lines on stderr: $(cat "$work/err")"

# --help and the manual page give the keys on the map.
run "" --help >/dev/null
keys=$(sed -n '/^Keys on the map/,/^$/p' "$work/out")
manual=$(sed -n '/^\.SH KEYS/,/^\.SH [A-Z]/p' "$(dirname "$0")/../../docs/man/dexlin.1" | sed 's/\\-/-/g; s/\\f[BIR]//g')
for key in 'Tab' 'arrows' 'Shift' 'Home' 'Space or S' 'D or Shift+Space'; do
  grep -qF -- "$key" <<<"$keys" || fail "--help does not give the key '$key'"
  grep -qF -- "$key" <<<"$manual" || fail "the manual page's KEYS section does not give the key '$key'"
done

# The help that cannot be written is no success.
for option in --help --version; do
  env -u DISPLAY "$program" $option >/dev/full 2>/dev/null
  [ $? = 1 ] || fail "$option to a full disk: not exit status 1"
done

[ $failures = 0 ] && echo "command line: all cases pass"
exit $((failures > 0))

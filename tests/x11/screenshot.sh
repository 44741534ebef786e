#!/usr/bin/env bash
# Scroll Lock in a real X server: the program runs from a portable folder
# under its own Xvfb (no window manager), gets the focus, and each press and
# release of the key must leave exactly one PNG of the main window's size in
# ../Screenshot, also when the key is held over many timer ticks.
# Usage: screenshot.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail

binary=$1
source_dir=$2

fail() { echo "screenshot: $*" >&2; exit 1; }

for tool in Xvfb xdotool identify; do
    command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/setup.sh test installs it)"
done
[ -x "$binary" ] || fail "no program at $binary"

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
    local status=$?
    for pid in $program_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$(( $1 * 10 )) tries=0
    shift
    until "$@"; do
        tries=$((tries + 1))
        [ "$tries" -ge "$limit" ] && return 1
        sleep 0.1
    done
}

# The portable folder: bin/ is the working directory, no Screenshot folder
# yet (the program makes it).
mkdir -p "$work/bin" "$work/Resource"
ln -s "$(realpath "$binary")" "$work/bin/pelarin"
cp "$source_dir/resources/CashItems.json" "$work/Resource/CashItems.json"

# Xvfb picks a free display itself and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

(cd "$work/bin" && exec env QT_QPA_PLATFORM=xcb ./pelarin) >"$work/program.log" 2>&1 &
program_pid=$!

find_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    window=$(xdotool search --onlyvisible --name 'Pelarin' 2>/dev/null | head -n1)
    [ -n "$window" ]
}
wait_for 30 find_window || fail "no main window appeared"

xdotool windowfocus --sync "$window"
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "screenshot: window $window on $DISPLAY, ${WIDTH}x${HEIGHT}"

count_pictures() {
    find "$work/Screenshot" -maxdepth 1 -name '*.png' 2>/dev/null | wc -l
}
pictures_are() { [ "$(count_pictures)" -eq "$1" ]; }
# The count must stay at $1 for $2 tenths of a second (about six timer ticks
# each): a second file would come one tick after the first.
pictures_stay() {
    local tenth
    for ((tenth = 0; tenth < $2; tenth++)); do
        pictures_are "$1" || fail "expected $1 picture(s), found $(count_pictures): $(ls "$work/Screenshot")"
        sleep 0.1
    done
}

# One press and release.
xdotool keydown Scroll_Lock
sleep 0.1
xdotool keyup Scroll_Lock
wait_for 10 pictures_are 1 || fail "no picture after one press and release ($(count_pictures) found)"
pictures_stay 1 5

picture=$(find "$work/Screenshot" -maxdepth 1 -name '*.png' | head -n1)
[[ "$(basename "$picture")" =~ ^[0-9]{14}(_[0-9]+)?\.png$ ]] || fail "unexpected name $(basename "$picture")"
read -r format width height < <(identify -format '%m %w %h\n' "$picture")
echo "screenshot: $(basename "$picture") is $format ${width}x${height}"
[ "$format" = PNG ] || fail "$picture is $format, not PNG"
[ "$width" -eq "$WIDTH" ] && [ "$height" -eq "$HEIGHT" ] \
    || fail "picture is ${width}x${height}, the window ${WIDTH}x${HEIGHT}"

# Held over many ticks: nothing while it is down, one picture on release.
xdotool keydown Scroll_Lock
pictures_stay 1 10
xdotool keyup Scroll_Lock
wait_for 10 pictures_are 2 || fail "no picture after releasing a held key ($(count_pictures) found)"
pictures_stay 2 5

echo "screenshot: $(count_pictures) pictures for two presses"

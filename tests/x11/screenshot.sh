#!/usr/bin/env bash
# Scroll Lock in a real X server: the program of a portable folder runs
# under its own Xvfb (no window manager), gets the focus, and each press and
# release of the key must leave exactly one PNG of the main window's size in
# the folder's Screenshot/, also when the key is held over many timer ticks.
# It is started from another working directory, /, by its whole path: its
# catalogue and its Screenshot/ are found from its own folder, bin/.
# Usage: screenshot.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check screenshot "$@" Xvfb xdotool identify

make_portable_folder
start_xvfb 1280x1024
start_program / "$work/bin/pelarin"
eval "$(xdotool getwindowgeometry --shell "$main")"
note "window $main on $DISPLAY, ${WIDTH}x${HEIGHT}"


# One press and release.
xdotool keydown Scroll_Lock
sleep 0.1
xdotool keyup Scroll_Lock
wait_for 10 pictures_are 1 || fail "no picture after one press and release ($(count_pictures) found)"
pictures_stay 1 5

picture=$(find "$work/Screenshot" -maxdepth 1 -name '*.png' | head -n1)
[[ "$(basename "$picture")" =~ ^[0-9]{14}(_[0-9]+)?\.png$ ]] || fail "unexpected name $(basename "$picture")"
read -r format width height < <(identify -format '%m %w %h\n' "$picture")
note "$(basename "$picture") is $format ${width}x${height}"
[ "$format" = PNG ] || fail "$picture is $format, not PNG"
[ "$width" -eq "$WIDTH" ] && [ "$height" -eq "$HEIGHT" ] \
    || fail "picture is ${width}x${height}, the window ${WIDTH}x${HEIGHT}"

# Held over many ticks: nothing while it is down, one picture on release.
xdotool keydown Scroll_Lock
pictures_stay 1 10
xdotool keyup Scroll_Lock
wait_for 10 pictures_are 2 || fail "no picture after releasing a held key ($(count_pictures) found)"
pictures_stay 2 5

note "$(count_pictures) pictures for two presses"

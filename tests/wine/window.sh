#!/usr/bin/env bash
# The Windows program in a real window: pelarin.exe under Wine, on Qt's
# windows platform, drawing into an Xvfb of its own (no window manager).
#   1. The main window opens with its title, at 675 x 431.
#   2. Scroll Lock, read through GetFocus and GetAsyncKeyState: one PNG per
#      press and release, none while the key is held, also while the
#      registration dialog has the focus.
#   3. At 150 % (Wine's LogPixels 144) the window is 1.5 times as large.
# Usage: window.sh <pelarin.exe> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
wine_check wine_window "$@" Xvfb xdotool identify

make_wine_portable_folder
start_wine_xvfb 1280x1024
start_program "$work/bin" wine pelarin.exe
size=$(window_size "$main")
note "main window $main on $DISPLAY: $size"
[ "$size" = 675x431 ] || fail "the window is $size, not 675x431"

press_and_release() {
    xdotool keydown Scroll_Lock
    sleep "$1"
    xdotool keyup Scroll_Lock
}

# One press and release, with the main window focused.
press_and_release 0.1
wait_for 10 pictures_are 1 || fail "no picture after one press and release"
pictures_stay 1 5
picture=$(find "$work/Screenshot" -maxdepth 1 -name '*.png' | head -n1)
[[ "$(basename "$picture")" =~ ^[0-9]{14}(_[0-9]+)?\.png$ ]] || fail "unexpected name $(basename "$picture")"
read -r format width height < <(identify -format '%m %w %h\n' "$picture")
[ "$format" = PNG ] && [ "${width}x${height}" = "$size" ] \
    || fail "the picture is $format ${width}x${height}, the window $size"
# The window's Korean texts are drawn: the picture is not a blank form.
colours=$(identify -format '%k' "$picture")
[ "$colours" -gt 16 ] || fail "the picture has only $colours colours"
mkdir -p "$build_dir/wine"
cp "$picture" "$build_dir/wine/window.png"
note "$(basename "$picture"): $format ${width}x${height}, $colours colours (kept as $build_dir/wine/window.png)"

# Held over many ticks: nothing until it is released.
xdotool keydown Scroll_Lock
pictures_stay 1 10
xdotool keyup Scroll_Lock
wait_for 10 pictures_are 2 || fail "no picture after releasing a held key"
pictures_stay 2 5

# With the registration dialog in front and focused: the key still works.
set_ratio 3000
add_button
dialog=$(window_named '^아이템 등록$')
xdotool windowfocus --sync "$dialog"
press_and_release 0.1
wait_for 10 pictures_are 3 || fail "no picture while the registration dialog has the focus"
pictures_stay 3 5
newest=$(ls -t "$work/Screenshot"/*.png | head -n1)
[ "$(identify -format '%wx%h' "$newest")" = "$size" ] || fail "the picture is not the main window's size"
note "three presses, three pictures, the last with the registration dialog focused"
stop_program
wineserver -w

# 150 %: a prefix of its own whose screen is at 144 DPI.
export WINEPREFIX=$work/prefix-144
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w
start_program "$work/bin" wine pelarin.exe
size=$(window_size "$main")
note "at LogPixels 144 the window is $size"
width=${size%x*}
height=${size#*x}
# 1.5 x 675 x 431 is 1012.5 x 646.5: within two pixels.
[ "$width" -ge 1010 ] && [ "$width" -le 1015 ] && [ "$height" -ge 644 ] && [ "$height" -le 649 ] \
    || fail "at 150 % the window is $size, not 1.5 x 675x431"
stop_program
echo "wine_window: passed"

#!/usr/bin/env bash
# The window on screens set to 100 %, 150 % and 200 %: an Xvfb at 96, 144
# and 192 DPI with Xft.dpi in its resources, as a desktop set to that scaling
# has, and nothing forced through Qt's variables. At each:
#   - the window's size in pixels is 675 x 431 times the scale (1, 1.5, 2),
#     within two pixels: the scale is used as the screen reports it, not
#     rounded to a whole number;
#   - the text-fit test (tst_textfit) passes under the same server: every
#     caption of the window and the registration dialog is drawn whole, the
#     empty table needs no horizontal scroll bar, the window made as small as
#     it goes still shows every control whole and a table row, and the screen
#     gave it the scale expected;
#   - scaled back to 100 %, the picture matches the one taken at 100 %: the
#     same texts in the same places, nothing moved.
# Each run sets the ratio and registers one catalogue item, so that the
# summary line and a table row are on screen. The pictures are kept as
# <build dir>/hidpi/scale-<percent>.png (the window) and
# <build dir>/hidpi/dialog-<percent>.png (the registration dialog).
# Usage: hidpi.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check hidpi "$@" Xvfb xrdb xdotool import identify compare convert

text_fit="$build_dir/tests/tst_textfit"
[ -x "$text_fit" ] || fail "no text-fit test at $text_fit"

make_portable_folder

near() { [ $(( $1 - $2 )) -le 2 ] && [ $(( $2 - $1 )) -le 2 ]; }

mkdir -p "$build_dir/hidpi"
for dpi in 96 144 192; do
    percent=$(( dpi * 100 / 96 ))
    factor=$(awk -v d="$dpi" 'BEGIN { print d / 96 }')
    start_xvfb 1600x1200 "$dpi"
    note "$percent % ($dpi DPI, Xft.dpi $(xrdb -query | sed -n 's/^Xft.dpi:\s*//p')): starting"

    (cd "$build_dir/tests" && PELARIN_EXPECT_SCALE="$factor" "$text_fit") >"$work/textfit.log" 2>&1 \
        || { cat "$work/textfit.log" >&2; fail "the text-fit test failed at $percent %"; }
    note "$percent %: $(grep -m1 'scale ' "$work/textfit.log" | sed 's/^.*: //'), $(grep -m1 'smallest window' "$work/textfit.log" | sed 's/^.*: //'), $(grep -m1 '^Totals' "$work/textfit.log")"

    start_program "$work/bin" ./pelarin
    eval "$(xdotool getwindowgeometry --shell "$main")"
    near "$WIDTH" "$(pixels 675)" && near "$HEIGHT" "$(pixels 431)" \
        || fail "at $percent % the window is ${WIDTH}x${HEIGHT}, not $(pixels 675)x$(pixels 431)"

    # Ratio 3000, "세팅", then "추가" and the third catalogue row at 150,000,000 meso.
    set_ratio 3000
    register_item 2 150000000
    xdotool windowfocus --sync "$main"
    picture="$build_dir/hidpi/scale-$percent.png"
    settled_picture "$main" "$picture"
    read -r width height < <(identify -format '%w %h\n' "$picture")
    [ "$width" -eq "$WIDTH" ] && [ "$height" -eq "$HEIGHT" ] \
        || fail "the picture at $percent % is ${width}x${height}, the window ${WIDTH}x${HEIGHT}"
    note "$percent %: window ${WIDTH}x${HEIGHT}, picture $picture"

    # The dialog as the user opens it again with "추가".
    add_button
    dialog=$(window_named '^아이템 등록$')
    settled_picture "$dialog" "$build_dir/hidpi/dialog-$percent.png"
    note "$percent %: dialog $(identify -format '%wx%h' "$build_dir/hidpi/dialog-$percent.png")"

    stop_program
    stop_xvfb

    if [ "$dpi" != 96 ]; then
        # Scaled back to 100 %, compared with the 100 % picture: the root mean
        # square difference (0 same, 1 opposite) stays small when only the
        # rendering of the glyph edges differs, and grows when texts or
        # controls move, clip or change size.
        convert "$picture" -resize '675x431!' "$work/back.png"
        # compare exits with 1 when the pictures differ at all; the figure is what counts.
        difference=$({ compare -metric RMSE "$build_dir/hidpi/scale-100.png" "$work/back.png" null: 2>&1 || true; } \
                     | sed -E 's/.*\(([0-9.e-]+)\).*/\1/')
        note "$percent % scaled back to 100 %: RMSE $difference"
        awk -v d="$difference" 'BEGIN { exit !(d < 0.1) }' \
            || fail "at $percent % the window does not look like it does at 100 % (RMSE $difference)"
    fi
done

echo "hidpi: passed"

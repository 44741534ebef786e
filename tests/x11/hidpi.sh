#!/usr/bin/env bash
# The window at 100 %, 150 % and 200 % display scaling (QT_SCALE_FACTOR 1,
# 1.5 and 2) under Xvfb: with high-DPI scaling on, the whole window, its fixed
# controls and their fonts grow by the factor, so
#   - the window's size in pixels is 675 x 431 times the factor, and
#   - scaled back to 100 %, the picture matches the one taken at 100 %: the
#     same texts in the same places, nothing clipped that was not clipped
#     before, nothing moved.
# Each run sets the ratio and registers one catalogue item, so that the
# summary line and a table row are on screen. The pictures are kept as
# <build dir>/hidpi/scale-<factor>.png.
# Usage: hidpi.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check hidpi "$@" Xvfb xdotool import identify compare convert

make_portable_folder
start_xvfb 1600x1200

near() { [ $(( $1 - $2 )) -le 1 ] && [ $(( $2 - $1 )) -le 1 ]; }

mkdir -p "$build_dir/hidpi"
for factor in 1 1.5 2; do
    note "QT_SCALE_FACTOR=$factor: starting"
    start_program "$work/bin" env QT_SCALE_FACTOR="$factor" ./pelarin

    eval "$(xdotool getwindowgeometry --shell "$main")"
    near "$WIDTH" "$(pixels 675)" && near "$HEIGHT" "$(pixels 431)" \
        || fail "at $factor the window is ${WIDTH}x${HEIGHT}, not $(pixels 675)x$(pixels 431)"

    # Ratio 3000, "세팅", then "추가" and the third catalogue row at 150,000,000 meso.
    set_ratio 3000
    register_item 2 150000000
    xdotool windowfocus --sync "$main"
    # The row is in once the table has repainted: the picture stops changing.
    picture="$build_dir/hidpi/scale-$factor.png"
    settled() {
        import -window "$main" "$work/next.png"
        if [ -f "$work/last.png" ] && compare -metric AE "$work/last.png" "$work/next.png" null: 2>/dev/null; then
            return 0
        fi
        mv "$work/next.png" "$work/last.png"
        return 1
    }
    rm -f "$work/last.png"
    wait_for 10 settled || fail "the window kept changing at $factor"
    mv "$work/next.png" "$picture"

    read -r width height < <(identify -format '%w %h\n' "$picture")
    [ "$width" -eq "$WIDTH" ] && [ "$height" -eq "$HEIGHT" ] \
        || fail "the picture at $factor is ${width}x${height}, the window ${WIDTH}x${HEIGHT}"
    note "QT_SCALE_FACTOR=$factor: window ${WIDTH}x${HEIGHT}, picture $picture"

    stop_program

    if [ "$factor" != 1 ]; then
        # Scaled back to 100 %, compared with the 100 % picture: the root mean
        # square difference (0 same, 1 opposite) stays small when only the
        # rendering of the glyph edges differs, and grows when texts or
        # controls move, clip or change size.
        convert "$picture" -resize '675x431!' "$work/back.png"
        # compare exits with 1 when the pictures differ at all; the figure is what counts.
        difference=$({ compare -metric RMSE "$build_dir/hidpi/scale-1.png" "$work/back.png" null: 2>&1 || true; } \
                     | sed -E 's/.*\(([0-9.e-]+)\).*/\1/')
        note "QT_SCALE_FACTOR=$factor scaled back to 100 %: RMSE $difference"
        awk -v d="$difference" 'BEGIN { exit !(d < 0.1) }' \
            || fail "at $factor the window does not look like it does at 100 % (RMSE $difference)"
    fi
done

echo "hidpi: passed"

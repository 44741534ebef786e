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

binary=$1
source_dir=$2
build_dir=$3

fail() { echo "hidpi: $*" >&2; exit 1; }
note() { echo "hidpi: $*"; }

for tool in Xvfb xdotool import identify compare convert; do
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
    if [ "$status" -ne 0 ] && [ -f "$work/program.log" ]; then
        echo "hidpi: program output:" >&2
        cat "$work/program.log" >&2
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$(( $1 * 20 )) tries=0
    shift
    until "$@"; do
        tries=$((tries + 1))
        [ "$tries" -ge "$limit" ] && return 1
        sleep 0.05
    done
}

mkdir -p "$work/bin" "$work/Resource"
ln -s "$(realpath "$binary")" "$work/bin/pelarin"
cp "$source_dir/resources/CashItems.json" "$work/Resource/CashItems.json"

Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME QT_SCREEN_SCALE_FACTORS \
      QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI QT_SCALE_FACTOR_ROUNDING_POLICY
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

find_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$window" ]
}
hidden() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# Clicks at the logical position x, y of window $1, scaled to pixels.
click() {
    local x y
    x=$(awk -v v="$2" -v f="$factor" 'BEGIN { printf "%d", v * f + 0.5 }')
    y=$(awk -v v="$3" -v f="$factor" 'BEGIN { printf "%d", v * f + 0.5 }')
    xdotool mousemove --window "$1" "$x" "$y" click 1
}
# Main window controls, centres in logical window coordinates: the container
# is at 10, 10 below the 21-pixel menu bar.
at_main() { click "$main" $((10 + $1)) $((21 + 10 + $2)); }

pixels() { awk -v v="$1" -v f="$factor" 'BEGIN { printf "%d", v * f + 0.5 }'; }
near() { [ $(( $1 - $2 )) -le 1 ] && [ $(( $2 - $1 )) -le 1 ]; }

mkdir -p "$build_dir/hidpi"
for factor in 1 1.5 2; do
    (cd "$work/bin" && exec env QT_SCALE_FACTOR="$factor" ./pelarin) >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for 30 find_window '^Pelarin 유틸리티' || fail "no main window appeared at $factor"
    main=$window
    xdotool windowfocus --sync "$main"

    eval "$(xdotool getwindowgeometry --shell "$main")"
    near "$WIDTH" "$(pixels 675)" && near "$HEIGHT" "$(pixels 431)" \
        || fail "at $factor the window is ${WIDTH}x${HEIGHT}, not $(pixels 675)x$(pixels 431)"

    # Ratio 3000, "세팅", then "추가" and the third catalogue row at 150,000,000 meso.
    at_main 195 15
    xdotool type --delay 30 3000
    at_main 330 15
    at_main 45 95
    wait_for 20 find_window '^아이템 등록$' || fail "no registration dialog at $factor"
    dialog=$window
    xdotool windowfocus --sync "$dialog"
    click "$dialog" 125 259
    xdotool key Home Down Down
    click "$dialog" 235 145
    xdotool type --delay 30 150000000
    click "$dialog" 185 200
    wait_for 20 hidden '^아이템 등록$' || fail "the registration dialog stayed open at $factor"
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

    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=

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

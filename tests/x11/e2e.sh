#!/usr/bin/env bash
# A player's session in a real X server, from the installed program:
#   1. cmake --install lays out the portable folder (bin/, Resource/CashItems.json,
#      Resource/CustomDatas/, Screenshot/).
#   2. First run: type the ratio and press "세팅", register three catalogue items
#      through "추가", change the fee and the discount, sort, take a Scroll Lock
#      picture, save with Ctrl+S by typing a name into the real file dialog.
#      The file must hold exactly the ledger that was entered.
#   3. Second run: load that file with Ctrl+O and save it again under another
#      name: the same bytes must come back.
#   4. The system layout's launcher (the menu command of the Debian package)
#      makes a per-user portable folder and starts the program there.
# Everything is driven with xdotool under an Xvfb of its own, without a window
# manager. The picture of the first run is kept as <build dir>/e2e/screenshot.png.
# Usage: e2e.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail

binary=$1
source_dir=$2
build_dir=$3

fail() { echo "e2e: $*" >&2; exit 1; }
note() { echo "e2e: $*"; }

for tool in Xvfb xdotool xmodmap identify cmake; do
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
        echo "e2e: program output:" >&2
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

# --- 1. Install ---------------------------------------------------------------
portable="$work/Pelarin 포터블"
cmake --install "$build_dir" --prefix "$portable" >"$work/install.log" || fail "install failed: $(cat "$work/install.log")"
for path in bin/pelarin Resource/CashItems.json Resource/CustomDatas Screenshot; do
    [ -e "$portable/$path" ] || fail "the install has no $path"
done
[ -x "$portable/bin/pelarin" ] || fail "bin/pelarin is not executable"
cmp -s "$portable/Resource/CashItems.json" "$source_dir/resources/CashItems.json" \
    || fail "the installed catalogue differs from resources/CashItems.json"
[ ! -e "$portable/bin/pelarin.desktop" ] && [ ! -e "$portable/share" ] && [ ! -e "$portable/lib" ] \
    || fail "the portable install carries the system layout too"

# --- X server and program environment ------------------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# Qt's own widgets for the file dialogs (no desktop theme, no GTK dialog), a
# UTF-8 locale so that Korean file names go through toLocal8Bit unchanged, and
# settings and runtime files inside the work folder.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
      QT_AUTO_SCREEN_SCALE_FACTOR QT_FONT_DPI
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8 LC_ALL=C.UTF-8
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

# xdotool types a character that the keymap lacks by remapping a spare key
# for a moment; a busy program may read that key after the mapping has changed
# again and lose the character. So every Korean character that will be typed
# gets a key of its own before the program starts.
give_keys() {
    local text=$1 character code k used=0
    local -a spare
    local -A given=()
    mapfile -t spare < <(xmodmap -pke | awk 'NF == 3 && $2 > 8 { print $2 }')
    for ((k = 0; k < ${#text}; k++)); do
        character=${text:k:1}
        code=$(printf '%X' "'$character")
        [ $((16#$code)) -lt 128 ] || [ -n "${given[$character]:-}" ] && continue
        [ "$used" -lt "${#spare[@]}" ] || fail "no spare key left for $character"
        xmodmap -e "keycode ${spare[$used]} = U$code"
        given[$character]=1
        used=$((used + 1))
    done
}

# Starts the program in folder $1 (its working directory) with the command $2...
start_program() {
    local folder=$1
    shift
    (cd "$folder" && exec "$@") >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for 30 find_main_window || fail "no main window appeared"
    xdotool windowfocus --sync "$main"
}
find_main_window() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$work/program.log")"
    main=$(xdotool search --onlyvisible --name '^Pelarin 유틸리티' 2>/dev/null | head -n1)
    [ -n "$main" ]
}
stop_program() {
    kill "$program_pid" 2>/dev/null || true
    wait "$program_pid" 2>/dev/null || true
    program_pid=
}

visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
hidden() { ! visible "$1"; }
# The id of the visible window titled $1, waiting for it.
window_named() {
    wait_for 20 visible "$1" || fail "no window '$1' appeared"
    xdotool search --onlyvisible --name "$1" | head -n1
}

# Clicks at x, y inside window $1.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# The main window's controls sit at fixed places: the control container is at
# 10, 10 in the central widget, which starts below the 21-pixel menu bar. These
# are the centres of the controls, in window coordinates.
menu_bar=21
at_main() { click "$main" $((10 + $1)) $((menu_bar + 10 + $2)); }
ratio_field() { at_main 195 15; }
set_button() { at_main 330 15; }
add_button() { at_main 45 95; }
sort_button() { at_main 205 95; }
discount_field() { at_main 440 95; }
fee3_radio() { at_main 408 58; }

# Registers catalogue row $1 (0-based) at meso price $2 through "추가".
register_item() {
    local row=$1 meso=$2 dialog
    xdotool windowfocus --sync "$main"
    add_button
    dialog=$(window_named '^아이템 등록$')
    xdotool windowfocus --sync "$dialog"
    # Pick the row with the keyboard: the first visible row, Home, then Down.
    click "$dialog" 125 259
    xdotool key Home
    if [ "$row" -gt 0 ]; then
        xdotool key --repeat "$row" --delay 30 Down
    fi
    click "$dialog" 235 145
    xdotool key ctrl+a
    xdotool type --delay 30 "$meso"
    click "$dialog" 185 200
    wait_for 20 hidden '^아이템 등록$' || fail "the registration dialog stayed open"
}

# Answers the file dialog with path $1: the completer may take the first
# Return when the name matches an existing file, so Return is pressed until
# the dialog is gone.
answer_file_dialog() {
    local path=$1 dialog tries
    dialog=$(window_named '^파일 선택$')
    xdotool windowfocus --sync "$dialog"
    xdotool key ctrl+a
    xdotool type --delay 20 "$path"
    for tries in 1 2 3; do
        xdotool key Return
        wait_for 3 hidden '^파일 선택$' && return 0
    done
    fail "the file dialog did not take $path"
}

file_is() { [ -f "$1" ] && [ "$(cat "$1")" = "$2" ]; }
expect_file() {
    local path=$1 expected=$2
    wait_for 20 file_is "$path" "$expected" && return 0
    [ -f "$path" ] || fail "no file $path; $(dirname "$path") holds: $(ls -A "$(dirname "$path")" | tr '\n' '|')"
    printf 'e2e: %s holds\n%s\ne2e: expected\n%s\n' "$path" "$(cat "$path")" "$expected" >&2
    fail "wrong content in $(basename "$path")"
}

# The catalogue row $1 as a ledger item object sold for $2 meso. The shipped
# catalogue has one object a line, after the opening "[".
catalogue_item() {
    local line name price mileage
    line=$(sed -n "$(($1 + 2))p" "$portable/Resource/CashItems.json")
    name=$(sed -E 's/.*"name": *"([^"]*)".*/\1/' <<<"$line")
    price=$(sed -E 's/.*"price": *([0-9]+).*/\1/' <<<"$line")
    mileage=$(sed -E 's/.*"isUseMileage": *(true|false).*/\1/' <<<"$line")
    [ -n "$name" ] && [ -n "$price" ] && [ -n "$mileage" ] || fail "cannot read catalogue row $1: $line"
    printf '{"name":"%s","cashPrice":%s,"mesoPrice":%s,"isUseMileage":%s}' "$name" "$price" "$2" "$mileage"
}

# --- 2. First run: enter a ledger and save it ------------------------------------
first="$portable/Resource/CustomDatas/첫 장부.json"
second="$portable/Resource/CustomDatas/둘째 장부.json"
give_keys "$first$second"
start_program "$portable/bin" ./pelarin
eval "$(xdotool getwindowgeometry --shell "$main")"
note "main window $main on $DISPLAY, ${WIDTH}x${HEIGHT}"

ratio_field
xdotool type --delay 30 3000
set_button

# 고급 헤어 변경 쿠폰 (5,900원, mileage), 꼬마 용 펫 (12,900원), 황금 열쇠 꾸러미 5개 (11,000원, mileage)
register_item 2 150000000
register_item 8 400000000
register_item 20 280000000

xdotool windowfocus --sync "$main"
fee3_radio
discount_field
xdotool key ctrl+a
xdotool type --delay 30 2.5
xdotool key Tab
sort_button

# Scroll Lock: held over several 16 ms timer ticks, then released.
xdotool windowfocus --sync "$main"
xdotool keydown Scroll_Lock
sleep 0.1
xdotool keyup Scroll_Lock
picture_taken() { [ -n "$(find "$portable/Screenshot" -maxdepth 1 -name '*.png' -print -quit)" ]; }
wait_for 10 picture_taken || fail "Scroll Lock left no picture in Screenshot/"
picture=$(find "$portable/Screenshot" -maxdepth 1 -name '*.png' | head -n1)
read -r format width height < <(identify -format '%m %w %h\n' "$picture")
[ "$format" = PNG ] && [ "$width" -eq "$WIDTH" ] && [ "$height" -eq "$HEIGHT" ] \
    || fail "the picture is $format ${width}x${height}, the window ${WIDTH}x${HEIGHT}"
mkdir -p "$build_dir/e2e"
cp "$picture" "$build_dir/e2e/screenshot.png"
note "Scroll Lock picture $(basename "$picture"), kept as $build_dir/e2e/screenshot.png"

xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer_file_dialog "$first"

# The file holds the settings in force and the items in the order they were
# added; it never holds the computed figures.
expected="{\"rate\":3000,\"fee\":3,\"rateOfDiscount\":2.5,\"auctionItems\":[$(catalogue_item 2 150000000),$(catalogue_item 8 400000000),$(catalogue_item 20 280000000)]}"
expect_file "$first" "$expected"
[ "$(tail -c1 "$first" | od -An -c | tr -d ' ')" = "}" ] || fail "the file ends with something after the closing brace"
note "saved $(wc -c <"$first") bytes as expected"
stop_program

# --- 3. Second run: load it and save it again ------------------------------------
start_program "$portable/bin" ./pelarin
xdotool key ctrl+o
answer_file_dialog "$first"
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer_file_dialog "$second"
expect_file "$second" "$expected"
cmp "$first" "$second" || fail "the re-saved file differs from the loaded one"
note "loaded and saved again: the same bytes"
stop_program

# --- 4. The menu command of the system layout ---------------------------------------
system="$work/system"
cmake --install "$build_dir" --component system --prefix "$system" >"$work/install-system.log" \
    || fail "system install failed: $(cat "$work/install-system.log")"
desktop=$(find "$system/share/applications" -name '*.desktop' | head -n1)
[ -n "$desktop" ] || fail "the system layout has no desktop entry"
command=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$system/bin/$command" ] || fail "the desktop entry runs '$command', which the layout does not have in bin/"
grep -qx 'Categories=Utility;Calculator;Qt;' "$desktop" || fail "unexpected categories in $desktop"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 24 32 48 64 72 96 128 256; do
    png="$system/share/icons/hicolor/${size}x${size}/apps/$icon.png"
    [ "$(identify -format '%w %h' "$png" 2>/dev/null)" = "$size $size" ] || fail "no ${size}-pixel icon $png"
done
[ -f "$system/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"

home="$work/home"
mkdir -p "$home"
start_program "$home" env -u XDG_DATA_HOME -u PELARIN_HOME HOME="$home" "$system/bin/$command"
user_folder="$home/.local/share/pelarin"
[ "$(readlink "/proc/$program_pid/cwd")" = "$user_folder/bin" ] \
    || fail "the launcher started the program in $(readlink "/proc/$program_pid/cwd"), not $user_folder/bin"
for path in Resource/CashItems.json Resource/CustomDatas Screenshot; do
    [ -e "$user_folder/$path" ] || fail "the launcher made no $path in $user_folder"
done
stop_program
# A catalogue the user changed stays theirs.
echo '[{"name":"내 아이템","price":1000,"isUseMileage":false}]' >"$user_folder/Resource/CashItems.json"
start_program "$home" env -u XDG_DATA_HOME -u PELARIN_HOME HOME="$home" "$system/bin/$command"
grep -q '내 아이템' "$user_folder/Resource/CashItems.json" || fail "the launcher replaced the user's catalogue"
stop_program
note "the menu command '$command' runs the program in $user_folder/bin"

echo "e2e: passed"

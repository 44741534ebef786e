#!/usr/bin/env bash
# A player's session in a real X server, from the installed program:
#   1. cmake --install lays out the portable folder (bin/, Resource/CashItems.json,
#      Resource/CustomDatas/, Screenshot/).
#   2. First run: type the ratio and press "세팅", register three catalogue items
#      through "추가", change the fee and the discount, sort, take a Scroll Lock
#      picture, save with Ctrl+S by typing a name into the real file dialog.
#      The file must hold exactly the ledger that was entered.
#   3. Second run: load that file with Ctrl+O and save it again under another
#      name: the same bytes must come back. Ctrl+F and two initials leave one
#      row, and Ctrl+E exports that row alone.
#   4. The system layout's launcher (the menu command of the Debian package)
#      makes a per-user folder and starts the program on it, in the working
#      directory it was given.
# Everything is driven with xdotool under an Xvfb of its own, without a window
# manager. The picture of the first run is kept as <build dir>/e2e/screenshot.png.
# Usage: e2e.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check e2e "$@" Xvfb xdotool xmodmap identify cmake

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
start_xvfb 1280x1024

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
found="$portable/Resource/CustomDatas/찾은 아이템.csv"
give_keys "$first$second${found}ㄱㅎ"
start_program "$portable/bin" ./pelarin
eval "$(xdotool getwindowgeometry --shell "$main")"
note "main window $main on $DISPLAY, ${WIDTH}x${HEIGHT}"

set_ratio 3000

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

# The initials of 고급 헤어 변경 쿠폰 alone; Return searches at once and goes back to the table.
xdotool windowfocus --sync "$main"
xdotool key ctrl+f
xdotool type --delay 50 "ㄱㅎ"
xdotool key Return
xdotool key ctrl+e
answer_file_dialog "$found" "CSV로 내보내기"
wait_for 20 test -s "$found" || fail "the export after a search wrote no $found"
rows=$(tr -d '\r' <"$found" | sed 1d)
[ "$(wc -l <<<"$rows")" -eq 1 ] && grep -q '고급 헤어 변경 쿠폰' <<<"$rows" \
    || fail "the export after a search holds: $rows"
note "Ctrl+F ㄱㅎ and Ctrl+E exported the one row found"
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
# The window is up, so the program found a catalogue: the system's own folder
# has none where the program looks, the user's folder has.
[ "$(readlink "/proc/$program_pid/cwd")" = "$home" ] \
    || fail "the launcher started the program in $(readlink "/proc/$program_pid/cwd"), not where it was started, $home"
for path in Resource/CashItems.json Resource/CustomDatas Screenshot; do
    [ -e "$user_folder/$path" ] || fail "the launcher made no $path in $user_folder"
done
stop_program
# A catalogue the user changed stays theirs.
echo '[{"name":"내 아이템","price":1000,"isUseMileage":false}]' >"$user_folder/Resource/CashItems.json"
start_program "$home" env -u XDG_DATA_HOME -u PELARIN_HOME HOME="$home" "$system/bin/$command"
grep -q '내 아이템' "$user_folder/Resource/CashItems.json" || fail "the launcher replaced the user's catalogue"
stop_program
note "the menu command '$command' runs the program on $user_folder"

echo "e2e: passed"

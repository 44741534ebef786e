#!/usr/bin/env bash
# Saving and opening a ledger in the Windows program, through the Windows
# file dialog (Wine's): set a ratio, register a catalogue item, close the
# window: asked whether to save, Return saves by typing a Z:\ path into the
# dialog's file name box, and the program ends; start again,
# open the file with Ctrl+O, save it under another name typed without an
# extension: the dialog adds ".json", and the bytes are the same.
# Usage: files.sh <pelarin.exe> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
wine_check wine_files "$@" Xvfb xdotool python3

make_wine_portable_folder
start_wine_xvfb 1280x1024


first=$work/Resource/CustomDatas/first.json
second=$work/Resource/CustomDatas/second.json
start_program "$work/bin" wine pelarin.exe
set_ratio 3000
register_item 2 150000000
# Closed with the ledger unsaved: the question first; Return is Save, and the
# program ends once the file is written.
close_button "$main"
question=$(window_named '^notify$')
xdotool windowfocus --sync "$question"
xdotool key Return
answer_file_dialog "$(windows_path "$first")"
wait_for 30 ended || fail "the program did not end after saving on close"

line=$(sed -n 4p "$work/Resource/CashItems.json")
name=$(sed -E 's/.*"name": *"([^"]*)".*/\1/' <<<"$line")
price=$(sed -E 's/.*"price": *([0-9]+).*/\1/' <<<"$line")
mileage=$(sed -E 's/.*"isUseMileage": *(true|false).*/\1/' <<<"$line")
expected="{\"rate\":3000,\"fee\":5,\"rateOfDiscount\":0.0,\"auctionItems\":[{\"name\":\"$name\",\"cashPrice\":$price,\"mesoPrice\":150000000,\"isUseMileage\":$mileage}]}"
wait_for 20 file_is "$first" "$expected" || {
    printf 'wine_files: %s holds\n%s\nwine_files: expected\n%s\n' "$first" "$(cat "$first" 2>&1)" "$expected" >&2
    fail "the saved ledger is not the one entered"
}
note "saved through the Windows file dialog: $(wc -c <"$first") bytes as expected"
stop_program
wineserver -k || true
wineserver -w

start_program "$work/bin" wine pelarin.exe
xdotool key ctrl+o
answer_file_dialog "$(windows_path "$first")"
xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer_file_dialog "$(windows_path "${second%.json}")"
wait_for 20 file_is "$second" "$expected" \
    || fail "the ledger saved after opening differs: $(cat "$second" 2>&1); the folder holds: $(ls "$work/Resource/CustomDatas")"
cmp "$first" "$second" || fail "the re-saved file differs from the opened one"
note "opened through the Windows file dialog and saved again: the same bytes"
stop_program
echo "wine_files: passed"

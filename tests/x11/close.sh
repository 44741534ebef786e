#!/usr/bin/env bash
# Closing the window as a player does, with the close button (the message a
# window manager sends), on a real X server:
#   1. nothing changed: the program ends at once;
#   2. a ratio set: the title carries the modified mark, and closing asks
#      whether to save; Escape keeps the window open;
#   3. closing again and pressing Return (Save, the default) opens the save
#      dialog; a name typed without an extension is saved as .json, and the
#      program ends only then.
# Usage: close.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check close "$@" Xvfb xdotool python3

title_is() { [ "$(xdotool getwindowname "$main")" = "$1" ]; }

make_portable_folder
mkdir -p "$work/Resource/CustomDatas"
start_xvfb 1280x1024
title='Pelarin 유틸리티(ver1.53)'

# --- 1. Nothing to lose ---------------------------------------------------------
start_program "$work/bin" ./pelarin
title_is "$title" || fail "the title at start is '$(xdotool getwindowname "$main")'"
close_button "$main"
wait_for 10 ended || fail "the unchanged program did not end when closed"
wait "$program_pid" || fail "the program ended with status $?"
program_pid=
note "unchanged: closed at once"

# --- 2. Unsaved work: the question, and Escape --------------------------------------
start_program "$work/bin" ./pelarin
set_ratio 3000
wait_for 10 title_is "$title*" || fail "the title after a change is '$(xdotool getwindowname "$main")'"
close_button "$main"
question=$(window_named '^notify$')
xdotool windowfocus --sync "$question"
xdotool key Escape
wait_for 10 hidden '^notify$' || fail "Escape did not close the question"
sleep 0.5
ended && fail "Escape closed the program"
visible '^Pelarin 유틸리티' || fail "the window is gone after Escape"
note "unsaved: asked, Escape kept the window"

# --- 3. Return saves, with ".json" added ---------------------------------------------
close_button "$main"
question=$(window_named '^notify$')
xdotool windowfocus --sync "$question"
xdotool key Return
answer_file_dialog "$work/Resource/CustomDatas/closing"
wait_for 10 ended || fail "the program did not end after the save"
program_pid=
expected='{"rate":3000,"fee":5,"rateOfDiscount":0.0,"auctionItems":[]}'
file_is "$work/Resource/CustomDatas/closing.json" "$expected" \
    || fail "closing.json is missing or wrong: $(ls "$work/Resource/CustomDatas")"
note "Return saved closing.json and the program ended"
echo "close: passed"

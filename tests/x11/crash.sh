#!/usr/bin/env bash
# Unsaved work after a crash, on a real X server:
#   1. a ratio set, two items registered and the fee changed, then the
#      program is killed (kill -9) a few seconds after the last change;
#   2. started again, it asks first ("notify", before the main window); Return
#      (복구, the default) brings the work back: the title has the modified
#      mark, and a save writes the same ledger that the copy held.
# Usage: crash.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check crash "$@" Xvfb xdotool python3

make_portable_folder
mkdir -p "$work/Resource/CustomDatas"
start_xvfb 1280x1024

copies() { find "$work/Resource/Recovery" -maxdepth 1 -name '*.json' 2>/dev/null | wc -l; }
copy_has_two_items_at_fee_3() {
    local copy
    copy=$(find "$work/Resource/Recovery" -maxdepth 1 -name '*.json' 2>/dev/null | head -n1)
    [ -n "$copy" ] && python3 - "$copy" <<'PY'
import json, sys
ledger = json.load(open(sys.argv[1], encoding="utf-8"))
sys.exit(0 if len(ledger["auctionItems"]) == 2 and ledger["fee"] == 3 else 1)
PY
}

# --- 1. Work, then a crash ----------------------------------------------------------
start_program "$work/bin" ./pelarin
set_ratio 3000
register_item 2 150000000
register_item 8 400000000
xdotool windowfocus --sync "$main"
fee3_radio
wait_for 15 copy_has_two_items_at_fee_3 || fail "no recovery copy with the last change: $(ls -R "$work/Resource")"
[ "$(copies)" -eq 1 ] || fail "expected one copy, found $(copies)"
copy=$(find "$work/Resource/Recovery" -maxdepth 1 -name '*.json' | head -n1)
cp "$copy" "$work/left.json"
sleep 3
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=
note "killed with a copy of two items"

# --- 2. The next start asks, Return restores ------------------------------------------
(cd "$work/bin" && exec ./pelarin) >"$work/program.log" 2>&1 &
program_pid=$!
question=$(window_named '^notify$')
visible '^Pelarin 유틸리티' && fail "the main window showed before the question"
xdotool windowfocus --sync "$question"
xdotool key Return
wait_for 30 find_window '^Pelarin 유틸리티' || fail "no main window after the question"
main=$window
title=$(xdotool getwindowname "$main")
[ "$title" = 'Pelarin 유틸리티(ver1.53)*' ] || fail "the title after restoring is '$title'"
[ -f "$copy" ] && fail "the old copy is still there"
note "asked first; restored as unsaved work"

xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer_file_dialog "$work/Resource/CustomDatas/restored"
wait_for 10 test -f "$work/Resource/CustomDatas/restored.json" || fail "the save wrote nothing"
python3 - "$work/left.json" "$work/Resource/CustomDatas/restored.json" <<'PY' || fail "the restored ledger differs"
import json, sys
left = json.load(open(sys.argv[1], encoding="utf-8"))
saved = json.load(open(sys.argv[2], encoding="utf-8"))
for key in ("file", "savedAt", "version"):
    left.pop(key)
if left != saved:
    print("copy:", left, "\nsaved:", saved, file=sys.stderr)
    sys.exit(1)
PY
wait_for 10 test "$(copies)" -eq 0 || fail "a copy is left after the save"
close_button "$main"
wait_for 10 ended || fail "the saved program did not end when closed"
program_pid=
note "the save wrote the ledger the copy held"
echo "crash: passed"

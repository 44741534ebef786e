#!/usr/bin/env bash
# Unsaved work after a crash, in the Windows program under Wine:
#   1. a ratio set, two items registered and the fee changed, then every
#      Wine process ends at once (wineserver -k) a few seconds after the
#      last change;
#   2. started again, it asks first ("notify", before the main window); Return
#      (복구, the default) brings the work back, and a save through the Windows
#      file dialog writes the same ledger that the copy held.
# Usage: crash.sh <pelarin.exe> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
wine_check wine_crash "$@" Xvfb xdotool python3

make_wine_portable_folder
start_wine_xvfb 1280x1024

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
start_program "$work/bin" wine pelarin.exe
set_ratio 3000
register_item 2 150000000
register_item 8 400000000
xdotool windowfocus --sync "$main"
fee3_radio
wait_for 20 copy_has_two_items_at_fee_3 || fail "no recovery copy with the last change: $(ls -R "$work/Resource")"
[ "$(copies)" -eq 1 ] || fail "expected one copy, found $(copies)"
copy=$(find "$work/Resource/Recovery" -maxdepth 1 -name '*.json' | head -n1)
cp "$copy" "$work/left.json"
sleep 3
wineserver -k || true
wineserver -w
wait "$program_pid" 2>/dev/null || true
program_pid=
note "every Wine process ended with a copy of two items"

# --- 2. The next start asks, Return restores ------------------------------------------
(cd "$work/bin" && exec wine pelarin.exe) >"$work/program.log" 2>&1 &
program_pid=$!
question=$(window_named '^notify$')
visible '^Pelarin 유틸리티' && fail "the main window showed before the question"
xdotool windowfocus --sync "$question"
xdotool key Return
wait_for 60 find_window '^Pelarin 유틸리티' || fail "no main window after the question"
main=$window
[ -f "$copy" ] && fail "the old copy is still there"
note "asked first; restored"

xdotool windowfocus --sync "$main"
xdotool key ctrl+s
answer_file_dialog "$(windows_path "$work/Resource/CustomDatas/restored")"
wait_for 20 test -f "$work/Resource/CustomDatas/restored.json" || fail "the save wrote nothing"
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
note "the save wrote the ledger the copy held"
stop_program
echo "wine_crash: passed"

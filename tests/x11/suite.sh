#!/usr/bin/env bash
# The whole QtTest suite once more, on a real X server instead of the
# offscreen platform: an Xvfb at 96 DPI and Qt's xcb platform, with the fonts
# and style metrics of a Linux desktop. Clicks that land beside a control's
# clickable part, or sizes that only hold for the offscreen platform's
# fonts, fail here.
# Usage: suite.sh <pelarin binary> <source dir> <build dir>
set -euo pipefail
source "$(dirname "$0")/lib/common.sh"
x11_check suite "$@" Xvfb

start_xvfb 1280x1024 96

ran=0
failed=()
for test in "$build_dir"/tests/tst_*; do
    [ -f "$test" ] && [ -x "$test" ] || continue
    name=$(basename "$test")
    ran=$((ran + 1))
    if (cd "$build_dir/tests" && "$test") >"$work/$name.log" 2>&1; then
        note "$name: $(grep -m1 '^Totals' "$work/$name.log")"
    else
        grep -E '^(FAIL|   )' "$work/$name.log" >&2 || tail -n 20 "$work/$name.log" >&2
        failed+=("$name")
    fi
done
[ "$ran" -gt 0 ] || fail "no tests found in $build_dir/tests"
[ "${#failed[@]}" -eq 0 ] || fail "failed on X11: ${failed[*]}"
echo "suite: $ran test programs passed on X11"

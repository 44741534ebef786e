#!/usr/bin/env bash
# What a Windows player downloads, tried under Wine with nothing of the build
# on the program's path (no WINEPATH, no QT_PLUGIN_PATH):
#   1. the portable zip: unzipped, bin\pelarin.exe starts from bin\ and
#      Scroll Lock writes a picture into Screenshot\;
#   2. the installer, silently (/S), in a fresh Wine prefix: the program, its
#      catalogue, the Start-menu entry and the uninstall entry are there; the
#      program started through its Start-menu shortcut finds its catalogue
#      and writes a picture; installing again keeps the player's ledgers and
#      edited catalogue; the silent uninstall removes the program and leaves
#      the ledgers, the pictures and the catalogue.
# Usage: dist.sh <zip> <setup.exe> <source dir>
set -euo pipefail
zip_file=$(realpath "$1")
setup_file=$(realpath "$2")
source_dir=$(realpath "$3")
source "$(dirname "$0")/common.sh"
# The program under test is inside the zip; the checks' set-up wants a
# program, so it is given wine itself.
wine_check wine_dist "$(command -v wine)" "$source_dir" "$source_dir" Xvfb xdotool identify unzip
[ -f "$zip_file" ] || fail "no zip at $zip_file"
[ -f "$setup_file" ] || fail "no installer at $setup_file"
unset WINEPATH QT_PLUGIN_PATH

start_wine_xvfb 1280x1024
export WINEPREFIX=$work/prefix
wineboot -i >/dev/null 2>&1 || true
wineserver -w

pictures_in() { find "$1" -maxdepth 1 -name '*.png' 2>/dev/null | wc -l; }
picture_count_is() { [ "$(pictures_in "$1")" -eq "$2" ]; }
scroll_lock_picture() {
    local folder=$1 expected=$2
    xdotool windowfocus --sync "$main"
    xdotool keydown Scroll_Lock
    sleep 0.1
    xdotool keyup Scroll_Lock
    wait_for 10 picture_count_is "$folder" "$expected" || fail "Scroll Lock left no picture in $folder"
}

# --- 1. The zip ---------------------------------------------------------------------
unzip -q "$zip_file" -d "$work/zip"
for path in bin/pelarin.exe bin/Qt5Core.dll bin/Qt5Gui.dll bin/Qt5Widgets.dll bin/platforms/qwindows.dll \
            bin/styles/qwindowsvistastyle.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
            Resource/CashItems.json Resource/CustomDatas Screenshot licenses/LICENSE.LGPL3; do
    [ -e "$work/zip/$path" ] || fail "the zip has no $path"
done
start_program "$work/zip/bin" wine pelarin.exe
scroll_lock_picture "$work/zip/Screenshot" 1
stop_program
wineserver -w
note "the unzipped program runs from bin\\ and writes its pictures into Screenshot\\"

# --- 2. The installer ----------------------------------------------------------------
user=$(whoami)
users_dir=$WINEPREFIX/drive_c/users/$user
install_dir=$users_dir/AppData/Local/Programs/Pelarin
shortcut="$users_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pelarin 유틸리티.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelarin'

wine "$(windows_path "$setup_file")" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
wineserver -w
for path in bin/pelarin.exe bin/Qt5Widgets.dll bin/platforms/qwindows.dll Resource/CashItems.json \
            Resource/CustomDatas Screenshot uninstall.exe licenses/LICENSE.LGPL3; do
    [ -e "$install_dir/$path" ] || fail "the install has no $path"
done
cmp -s "$install_dir/Resource/CashItems.json" "$source_dir/resources/CashItems.json" \
    || fail "the installed catalogue is not the shipped one"
[ -f "$shortcut" ] || fail "no Start-menu entry: $(ls "$(dirname "$shortcut")" 2>&1)"
wine reg query "$uninstall_key" /v DisplayName 2>/dev/null | grep -q 'Pelarin' \
    || fail "no uninstall entry in the programs list"
note "installed in $install_dir, with its Start-menu entry and uninstall entry"

# The Start-menu entry: the shell starts the program in the shortcut's
# working folder, bin\, where it finds ..\Resource\CashItems.json.
# The shell starts it and returns: the program is found by its window.
wine start /unix "$shortcut" >"$work/program.log" 2>&1 || fail "the Start-menu entry did not start: $(cat "$work/program.log")"
wait_for "$program_start_seconds" visible '^Pelarin 유틸리티' || fail "no main window from the Start-menu entry: $(cat "$work/program.log")"
main=$(xdotool search --onlyvisible --name '^Pelarin 유틸리티' | head -n1)
scroll_lock_picture "$install_dir/Screenshot" 1
wineserver -k || true
wineserver -w
note "started through the Start-menu entry; its picture is in Screenshot\\"

# The player's own files, then an install over it.
ledger='{"rate":3000,"fee":5,"rateOfDiscount":0.0,"auctionItems":[]}'
printf '%s' "$ledger" >"$install_dir/Resource/CustomDatas/내 장부.json"
edited='[{"name":"내 아이템","price":1000,"isUseMileage":false}]'
printf '%s' "$edited" >"$install_dir/Resource/CashItems.json"
wine "$(windows_path "$setup_file")" /S >"$work/setup2.log" 2>&1 || fail "installing again failed"
wineserver -w
[ "$(cat "$install_dir/Resource/CashItems.json")" = "$edited" ] || fail "installing again replaced the edited catalogue"
[ "$(cat "$install_dir/Resource/CustomDatas/내 장부.json")" = "$ledger" ] || fail "installing again changed a ledger"
[ -f "$install_dir/bin/pelarin.exe" ] || fail "installing again lost the program"
note "installing again kept the ledger and the edited catalogue"

# Silent uninstall; _?= keeps the uninstaller in place so that it runs to
# the end before wine returns.
wine "$(windows_path "$install_dir/uninstall.exe")" /S "_?=$(windows_path "$install_dir")" >"$work/uninstall.log" 2>&1 \
    || fail "the uninstaller failed: $(cat "$work/uninstall.log")"
wineserver -w
[ ! -e "$install_dir/bin" ] || fail "the uninstaller left bin\\: $(ls "$install_dir/bin" | head)"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu entry"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left the uninstall entry"
[ "$(cat "$install_dir/Resource/CustomDatas/내 장부.json")" = "$ledger" ] || fail "the uninstaller removed a ledger"
[ "$(pictures_in "$install_dir/Screenshot")" -eq 1 ] || fail "the uninstaller removed the pictures"
[ "$(cat "$install_dir/Resource/CashItems.json")" = "$edited" ] || fail "the uninstaller removed the catalogue"
note "uninstalled: the program is gone, the ledger, the picture and the catalogue stayed"
echo "wine_dist: passed"

#!/usr/bin/env bash
# What a Windows player downloads, tried under Wine with nothing of the build
# on the program's path (no WINEPATH, no QT_PLUGIN_PATH):
#   1. the portable zip: it holds Qt's Korean translation, the player's
#      guide for Notepad (UTF-8 with a byte-order mark, CRLF, its name marked
#      as UTF-8) and only stripped binaries; unzipped, bin\pelarin.exe starts
#      from bin\, Scroll Lock writes a picture into Screenshot\, and its
#      message box is drawn otherwise without bin\translations\ (Qt's
#      standard button in Korean, not English);
#   2. the installer, silently (/S), in a fresh Wine prefix: the program, its
#      catalogue, the translation, the guide, the Start-menu folder with the
#      program and the guide, and the uninstall entry are there; the program
#      started through its Start-menu shortcut finds its catalogue and writes
#      a picture; installing again keeps the player's ledgers and edited
#      catalogue and drops what older installs left; the silent uninstall
#      removes the program, the guide and the Start-menu folder and leaves the
#      ledgers, the pictures and the catalogue.
# Usage: dist.sh <zip> <setup.exe> <source dir>
set -euo pipefail
zip_file=$(realpath "$1")
setup_file=$(realpath "$2")
source_dir=$(realpath "$3")
source "$(dirname "$0")/common.sh"
# The program under test is inside the zip; the checks' set-up wants a
# program, so it is given wine itself.
wine_check wine_dist "$(command -v wine)" "$source_dir" "$source_dir" Xvfb xdotool identify import compare unzip \
    python3 x86_64-w64-mingw32-objdump
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

# The guide as Notepad wants it: a byte-order mark, then the text of
# docs/사용법.txt with every line ended by CRLF.
guide_for_notepad() {
    local guide=$1
    [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' \n')" = efbbbf ] || fail "$guide does not start with a byte-order mark"
    [ "$(grep -c $'\r$' "$guide")" -eq "$(wc -l <"$guide")" ] || fail "$guide has lines that do not end in CRLF"
    tail -c +4 "$guide" | tr -d '\r' | cmp -s - "$source_dir/docs/사용법.txt" || fail "$guide is not docs/사용법.txt"
}

# The main window's "추가" before a ratio is set answers with an "error" box
# whose one button is Qt's standard OK: its picture into $1.
message_box_picture() {
    local box
    xdotool windowfocus --sync "$main"
    add_button
    box=$(window_named '^error$')
    # No hover on the button.
    xdotool mousemove 0 0
    settled_picture "$box" "$1"
}

# --- 1. The zip ---------------------------------------------------------------------
unzip -q "$zip_file" -d "$work/zip"
for path in bin/pelarin.exe bin/Qt5Core.dll bin/Qt5Gui.dll bin/Qt5Widgets.dll bin/platforms/qwindows.dll \
            bin/styles/qwindowsvistastyle.dll bin/libstdc++-6.dll bin/libgcc_s_seh-1.dll bin/libwinpthread-1.dll \
            bin/translations/qtbase_ko.qm Resource/CashItems.json Resource/CustomDatas Screenshot \
            licenses/LICENSE.LGPL3 licenses/qttranslations.txt 사용법.txt; do
    [ -e "$work/zip/$path" ] || fail "the zip has no $path"
done
cmp -s "$work/zip/bin/translations/qtbase_ko.qm" /usr/share/qt5/translations/qtbase_ko.qm \
    || fail "the zip's qtbase_ko.qm is not Qt's"
guide_for_notepad "$work/zip/사용법.txt"
python3 - "$zip_file" <<'PYTHON' || fail "the zip does not mark 사용법.txt as a UTF-8 name"
import sys, zipfile
entry = zipfile.ZipFile(sys.argv[1]).getinfo("사용법.txt")
sys.exit(0 if entry.flag_bits & 0x800 else 1)
PYTHON
# Debian's runtime DLLs come with their symbols, ten times their size.
while IFS= read -r -d '' binary; do
    x86_64-w64-mingw32-objdump -h "$binary" | grep -q -E ' \.(debug_|stab)' && fail "${binary#$work/zip/} has debugging sections"
    [ -z "$(x86_64-w64-mingw32-objdump -t "$binary" | sed -n '/^\[/p' | head -n 1)" ] \
        || fail "${binary#$work/zip/} has a symbol table"
done < <(find "$work/zip/bin" -name '*.dll' -print0 -o -name '*.exe' -print0)
note "the zip holds the translation, the guide (BOM, CRLF, UTF-8 name) and stripped binaries; $(du -sb "$work/zip" | cut -f1) bytes unzipped"

start_program "$work/zip/bin" wine pelarin.exe
scroll_lock_picture "$work/zip/Screenshot" 1
message_box_picture "$work/box-korean.png"
stop_program
wineserver -w
note "the unzipped program runs from bin\\ and writes its pictures into Screenshot\\"

# The same box from the same program without its translation: Qt's standard
# button reads "OK" there and "확인" with it, so the two pictures differ
# unless pelarin.exe did not load bin\translations\qtbase_ko.qm.
mv "$work/zip/bin/translations" "$work/translations-aside"
start_program "$work/zip/bin" wine pelarin.exe
message_box_picture "$work/box-english.png"
stop_program
wineserver -w
mv "$work/translations-aside" "$work/zip/bin/translations"
if compare -metric AE "$work/box-korean.png" "$work/box-english.png" null: 2>/dev/null; then
    fail "the message box looks the same with and without bin\\translations\\qtbase_ko.qm"
fi
mkdir -p "$source_dir/build-windows/wine"
cp "$work/box-korean.png" "$source_dir/build-windows/wine/message-box-ko.png"
cp "$work/box-english.png" "$source_dir/build-windows/wine/message-box-en.png"
note "its message box differs without bin\\translations\\ (kept as build-windows/wine/message-box-{ko,en}.png)"

# --- 2. The installer ----------------------------------------------------------------
user=$(whoami)
users_dir=$WINEPREFIX/drive_c/users/$user
install_dir=$users_dir/AppData/Local/Programs/Pelarin
menu_folder="$users_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Pelarin 유틸리티"
shortcut="$menu_folder/Pelarin 유틸리티.lnk"
guide_shortcut="$menu_folder/사용법.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelarin'

wine "$(windows_path "$setup_file")" /S >"$work/setup.log" 2>&1 || fail "the installer failed: $(cat "$work/setup.log")"
wineserver -w
for path in bin/pelarin.exe bin/Qt5Widgets.dll bin/platforms/qwindows.dll bin/translations/qtbase_ko.qm \
            Resource/CashItems.json Resource/CustomDatas Screenshot uninstall.exe licenses/LICENSE.LGPL3 \
            licenses/qttranslations.txt 사용법.txt; do
    [ -e "$install_dir/$path" ] || fail "the install has no $path"
done
guide_for_notepad "$install_dir/사용법.txt"
cmp -s "$install_dir/Resource/CashItems.json" "$source_dir/resources/CashItems.json" \
    || fail "the installed catalogue is not the shipped one"
[ -f "$shortcut" ] || fail "no Start-menu entry: $(ls -R "$(dirname "$menu_folder")" 2>&1)"
[ -f "$guide_shortcut" ] || fail "no Start-menu entry for the guide: $(ls "$menu_folder" 2>&1)"
# The guide's entry names its target in its item list, one folder after
# another with their names in UTF-16: ...\Programs\Pelarin\사용법.txt. Its
# ANSI copy of the path reads "???.txt" under Wine's Western code page, and
# Wine's shell refuses to open the link here ("Invalid name."), so the
# guide is not opened through it.
python3 - "$guide_shortcut" <<'PYTHON' || fail "the guide's Start-menu entry does not point at Pelarin\\사용법.txt"
import sys
link = open(sys.argv[1], "rb").read()
names = [name.encode("utf-16-le") + b"\0\0" for name in ("Programs", "Pelarin", "사용법.txt")]
at = 0
for name in names:
    at = link.find(name, at)
    if at < 0:
        sys.exit(1)
PYTHON
wine reg query "$uninstall_key" /v DisplayName 2>/dev/null | grep -q 'Pelarin' \
    || fail "no uninstall entry in the programs list"
note "installed in $install_dir, with its Start-menu folder (the program and 사용법) and uninstall entry"

# The Start-menu entry: the shell starts the program in the shortcut's
# working folder, bin\; it finds ..\Resource\CashItems.json from its own folder.
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
# What the first installers of this version left: a Start-menu entry
# outside the folder, the picture plugins and the icon file in bin\.
cp "$shortcut" "$(dirname "$menu_folder")/Pelarin 유틸리티.lnk"
mkdir -p "$install_dir/bin/imageformats"
cp "$install_dir/bin/platforms/qwindows.dll" "$install_dir/bin/imageformats/qico.dll"
cp "$source_dir/resources/pelarin.ico" "$install_dir/bin/pelarin.ico"
wine "$(windows_path "$setup_file")" /S >"$work/setup2.log" 2>&1 || fail "installing again failed"
wineserver -w
[ ! -e "$(dirname "$menu_folder")/Pelarin 유틸리티.lnk" ] || fail "installing again left the old Start-menu entry"
[ ! -e "$install_dir/bin/imageformats" ] && [ ! -e "$install_dir/bin/pelarin.ico" ] \
    || fail "installing again left the old imageformats\\ or pelarin.ico in bin\\"
[ "$(cat "$install_dir/Resource/CashItems.json")" = "$edited" ] || fail "installing again replaced the edited catalogue"
[ "$(cat "$install_dir/Resource/CustomDatas/내 장부.json")" = "$ledger" ] || fail "installing again changed a ledger"
[ -f "$install_dir/bin/pelarin.exe" ] || fail "installing again lost the program"
note "installing again kept the ledger and the edited catalogue and dropped what older installs left"

# Silent uninstall; _?= keeps the uninstaller in place so that it runs to
# the end before wine returns.
wine "$(windows_path "$install_dir/uninstall.exe")" /S "_?=$(windows_path "$install_dir")" >"$work/uninstall.log" 2>&1 \
    || fail "the uninstaller failed: $(cat "$work/uninstall.log")"
wineserver -w
[ ! -e "$install_dir/bin" ] || fail "the uninstaller left bin\\: $(ls "$install_dir/bin" | head)"
[ ! -e "$menu_folder" ] || fail "the uninstaller left the Start-menu folder: $(ls "$menu_folder")"
[ ! -e "$install_dir/사용법.txt" ] || fail "the uninstaller left the guide"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller left the uninstall entry"
[ "$(cat "$install_dir/Resource/CustomDatas/내 장부.json")" = "$ledger" ] || fail "the uninstaller removed a ledger"
[ "$(pictures_in "$install_dir/Screenshot")" -eq 1 ] || fail "the uninstaller removed the pictures"
[ "$(cat "$install_dir/Resource/CashItems.json")" = "$edited" ] || fail "the uninstaller removed the catalogue"
note "uninstalled: the program, the guide and the Start-menu folder are gone, the ledger, the picture and the catalogue stayed"
echo "wine_dist: passed"

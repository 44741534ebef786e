#!/usr/bin/env bash
# Renders the application icon from its one drawing, resources/pelarin.svg,
# into every size the desktops and Windows ask for:
#   resources/icons/pelarin-<N>.png   the hicolor theme sizes installed on Linux
#   resources/pelarin.ico             the Windows icon group IDI_ICON1
# The results are kept in the repository, so building never needs this script;
# run it again after changing the drawing.
# Usage: bash scripts/make-icons.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh icons

sizes=(16 24 32 48 64 72 96 128 256)
source=resources/pelarin.svg
mkdir -p resources/icons

pngs=()
for size in "${sizes[@]}"; do
    png=resources/icons/pelarin-$size.png
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio "$source" --output "$png"
    pngs+=("$png")
done

# The small images as bitmaps, the 256-pixel one as PNG inside the .ico:
# that is what Windows itself does and keeps the file small.
last=$((${#pngs[@]} - 1))
icotool --create --output resources/pelarin.ico "${pngs[@]:0:$last}" --raw="${pngs[$last]}"

icotool --list resources/pelarin.ico

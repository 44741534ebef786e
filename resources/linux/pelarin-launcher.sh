#!/bin/sh
# The menu command of the installed program. Pelarin finds its catalogue,
# its ledgers and its screenshots through paths relative to its working
# directory (../Resource/CashItems.json, ../Resource/CustomDatas,
# ../Screenshot/), and the system-wide copy cannot be written by a user.
# So every user gets a portable folder of their own, made on first start,
# and the program runs from its bin/ folder:
#   ${XDG_DATA_HOME:-~/.local/share}/pelarin/
#       bin/                  working directory
#       Resource/CashItems.json   copied from the package when missing, so
#                             a user may edit their own catalogue
#       Resource/CustomDatas/ ledgers
#       Screenshot/           Scroll Lock pictures
# PELARIN_HOME chooses another folder.
set -eu

self=$(readlink -f "$0")
prefix=$(dirname "$(dirname "$self")")
program="$prefix/lib/pelarin/pelarin"
catalogue="$prefix/share/pelarin/CashItems.json"

data_home=${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}
folder=${PELARIN_HOME:-$data_home/pelarin}

mkdir -p "$folder/bin" "$folder/Resource/CustomDatas" "$folder/Screenshot"
if [ ! -e "$folder/Resource/CashItems.json" ]; then
    cp "$catalogue" "$folder/Resource/CashItems.json"
fi

cd "$folder/bin"
exec "$program" "$@"

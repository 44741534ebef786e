#!/bin/sh
# The menu command of the installed program. Pelarin keeps its catalogue,
# its ledgers and its screenshots in one folder, which it takes from
# PELARIN_HOME when that is set (otherwise it is the folder above its own,
# the system's here, which a user cannot write). So every user gets a folder
# of their own, made on first start, and the program is told where it is:
#   ${XDG_DATA_HOME:-~/.local/share}/pelarin/
#       Resource/CashItems.json   copied from the package when missing, so
#                             a user may edit their own catalogue
#       Resource/CustomDatas/ ledgers
#       Screenshot/           Scroll Lock pictures
# PELARIN_HOME chooses another folder. The working directory is left as it is.
set -eu

self=$(readlink -f "$0")
prefix=$(dirname "$(dirname "$self")")
program="$prefix/lib/pelarin/pelarin"
catalogue="$prefix/share/pelarin/CashItems.json"

data_home=${XDG_DATA_HOME:-${HOME:?HOME is not set}/.local/share}
folder=${PELARIN_HOME:-$data_home/pelarin}

mkdir -p "$folder/Resource/CustomDatas" "$folder/Screenshot"
if [ ! -e "$folder/Resource/CashItems.json" ]; then
    cp "$catalogue" "$folder/Resource/CashItems.json"
fi

PELARIN_HOME=$folder
export PELARIN_HOME
exec "$program" "$@"

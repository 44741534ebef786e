# The set-up the Wine checks share, sourced by tests/wine/*.sh: everything of
# the X11 checks (tests/x11/lib/common.sh: work folder, clean-up, Xvfb,
# xdotool helpers), plus Wine's environment and a portable folder around the
# Windows program. The program runs on Qt's windows platform inside Wine,
# which draws into the Xvfb.

source "$(dirname "${BASH_SOURCE[0]}")/../../x11/lib/common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/wine-env.sh"

# Like x11_check, for a Windows program; also ends Wine's processes of the
# check's own prefix on exit.
wine_check() {
    x11_check "$@" wine wineserver
    trap wine_cleanup EXIT
    # The check runs alone: the Wine server that the programs before us
    # kept up (or left shutting down) goes first, since a program started
    # meanwhile can stall.
    wineserver -k 2>/dev/null || true
    wineserver -w
    # Wine's first start in a prefix brings up its own services too.
    program_start_seconds=90
    # Wine's file dialog takes keys a moment after it is shown.
    file_dialog_settle=0.5
}
wine_cleanup() {
    local status=$?
    set +e
    [ -n "${program_pid:-}" ] && kill "$program_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    wineserver -w
    # x11_cleanup takes the check's status from $?.
    (exit "$status")
    x11_cleanup
}

# Xvfb as for the X11 checks, then the program's platform is Wine's, not xcb.
start_wine_xvfb() {
    start_xvfb "$1"
    unset QT_QPA_PLATFORM
}

# A portable folder in $work: bin/pelarin.exe, the shipped catalogue and
# Resource/CustomDatas; no Screenshot folder yet (the program makes it).
make_wine_portable_folder() {
    mkdir -p "$work/bin" "$work/Resource/CustomDatas"
    cp "$binary" "$work/bin/pelarin.exe"
    cp "$source_dir/resources/CashItems.json" "$work/Resource/CashItems.json"
}

# The Windows form of the Unix path $1 (Wine's drive Z: is /).
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }

# Wine gives each top-level window a frame of its own only with a window
# manager; here there is none, so window geometry is the client area.
window_size() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "${WIDTH}x${HEIGHT}"
}

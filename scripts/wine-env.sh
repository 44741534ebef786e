# Sourced: the environment for running the cross-built Windows programs
# under Wine. Sets WINEPREFIX, WINEPATH, QT_PLUGIN_PATH and quiets Wine;
# pelarin_wine_qt_environment hands the QT_* variables to the program.
: "${PELARIN_WINDOWS_QT:=/var/cache/pelarin/qt-5.15.8-mingw64}"
: "${WINEPREFIX:=$HOME/.wine-pelarin}"
export PELARIN_WINDOWS_QT WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing of ours needs them, and their installers would
# ask questions.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
pelarin_mingw_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
pelarin_winpthread=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
to_windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
export WINEPATH="$(to_windows_path "$PELARIN_WINDOWS_QT/bin");$(to_windows_path "$pelarin_mingw_runtime");$(to_windows_path "$pelarin_winpthread")"
export QT_PLUGIN_PATH="$(to_windows_path "$PELARIN_WINDOWS_QT/plugins")"
# The offscreen platform draws with the fonts of one folder: the Hangul
# font that the Linux side installs.
: "${QT_QPA_FONTDIR:=$(to_windows_path /usr/share/fonts/truetype/nanum)}"
export QT_QPA_FONTDIR
# Wine keeps the host's QT_* variables from Windows programs and passes
# WINEQT_* on under the QT_* name instead: hand ours on that way.
pelarin_wine_qt_environment() {
    local name
    for name in $(compgen -e); do
        case $name in QT_*) export "WINE$name=${!name}" ;; esac
    done
}
# Starts the prefix's Wine server and keeps it up until `wineserver -k`,
# unless one is running. Without it every program starts a server of its own
# that lingers a few seconds after it: two programs started at the same
# moment race to start one, and a program that meets a server on its way out
# can end at once without a word. One server for a whole run, started by one
# caller at a time.
pelarin_wine_server() {
    mkdir -p "$WINEPREFIX"
    (
        flock 9
        # The server lives on after us: it must not keep the lock.
        wineserver -p 2>/dev/null 9>&- || true
    ) 9>"$WINEPREFIX/.pelarin-wineserver.lock"
}

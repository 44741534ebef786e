# Sourced: the environment for running the cross-built Windows programs
# under Wine. Sets WINEPREFIX, WINEPATH, QT_PLUGIN_PATH and quiets Wine.
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

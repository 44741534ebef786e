#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine (64-bit), with the
# Windows Qt's DLLs and the MinGW runtime on its path and the Qt plugins
# found. A QtTest program's log does not reach the terminal under Wine, so
# it is written to a file and printed from there.
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Environment: PELARIN_WINDOWS_QT (the Windows Qt), WINEPREFIX (default
# ~/.wine-pelarin), PELARIN_WINE_LOG=0 to print nothing of the QtTest log.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

pelarin_wine_qt_environment
program=$1
shift
case "$(basename "$program")" in
    tst_*.exe)
        has_output=0
        for argument in "$@"; do [ "$argument" = -o ] && has_output=1; done
        if [ $has_output -eq 0 ]; then
            log=$(mktemp --suffix=.txt)
            # What Wine itself prints goes through a file too: the services
            # that the Wine server starts for the first program (winedevice,
            # and the like) live as long as the server, and would hold the
            # first test's output open, and CTest would wait for it.
            out=$(mktemp --suffix=.out)
            # A QtTest program writes its first line before any test runs:
            # a program that failed and wrote nothing never ran, and it is
            # Wine that failed. That is said, and tried once more.
            for try in 1 2; do
                pelarin_wine_server
                # Not winepath: it starts Wine of its own, and when two tests
                # start at once it can print nothing, which QtTest then
                # rejects as an output format. Wine's Z: drive is /.
                wine "$program" "$@" -o "$(to_windows_path "$log"),txt" </dev/null >"$out" 2>&1
                status=$?
                cat "$out"
                [ $status -eq 0 ] || [ -s "$log" ] && break
                echo "wine-run: Wine did not run $(basename "$program") (exit $status, no output) on try $try" >&2
            done
            # Wine writes the log as the program's code page saw it: UTF-8.
            cat "$log"
            rm -f "$log" "$out"
            exit $status
        fi
        ;;
esac
exec wine "$program" "$@"

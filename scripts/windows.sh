#!/usr/bin/env bash
# The Windows program, built and tested on this Linux machine:
#   1. installs what is missing (MinGW-w64, Wine, NSIS, Xvfb, Python, ...);
#   2. builds or reuses the Windows Qt (scripts/windows-qt.sh);
#   3. cross-builds pelarin.exe and the QtTest programs (build-windows/);
#   4. runs the whole QtTest suite under Wine, and the checks of the real
#      program on Wine's own windows platform under Xvfb (tests/wine/);
#   5. writes dist/pelarin-<version>-win64.zip and dist/pelarin-<version>-setup.exe,
#      and tries both under Wine (tests/wine/lib/dist.sh).
# Usage: scripts/windows.sh [--no-tests]
# Environment: PELARIN_WINDOWS_QT (where the Windows Qt lives), WINEPREFIX.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
run_tests=1
[ "${1:-}" = --no-tests ] && run_tests=0

bash scripts/setup.sh windows
export PELARIN_WINDOWS_QT=${PELARIN_WINDOWS_QT:-/var/cache/pelarin/qt-5.15.8-mingw64}
start=$SECONDS
bash scripts/windows-qt.sh "$PELARIN_WINDOWS_QT"
qt_seconds=$((SECONDS - start))

source scripts/wine-env.sh
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "windows: making the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

# RapidJSON's headers, and nothing else of the host's /usr/include.
build=$root/build-windows
mkdir -p "$build/include"
rm -rf "$build/include/rapidjson"
cp -r /usr/include/rapidjson "$build/include/rapidjson"

start=$SECONDS
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DPELARIN_WINDOWS_QT="$PELARIN_WINDOWS_QT" -DRAPIDJSON_INCLUDE_DIR="$build/include" \
    -DCMAKE_BUILD_TYPE=Release -DPELARIN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
build_seconds=$((SECONDS - start))

test_seconds=0
if [ $run_tests -eq 1 ]; then
    start=$SECONDS
    # Wine runs one program at a time well enough; two at once halve the time.
    # One Wine server for the whole run (scripts/wine-env.sh), stopped after.
    pelarin_wine_server
    trap 'wineserver -k 2>/dev/null || true' EXIT
    (cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
    wineserver -k 2>/dev/null || true
    wineserver -w
    trap - EXIT
    test_seconds=$((SECONDS - start))
fi

# What a Windows player downloads: the portable folder with everything the
# program loads and nothing else, zipped, and the same folder as an installer.
version=$(sed -n 's/^project(Pelarin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$build/stage
rm -rf "$stage"
mkdir -p "$stage/bin/platforms" "$stage/bin/styles" "$stage/bin/translations" "$stage/Resource/CustomDatas" \
    "$stage/Screenshot" "$stage/licenses"
cp "$build/portable/bin/pelarin.exe" "$stage/bin/"
for dll in Qt5Core Qt5Gui Qt5Widgets; do cp "$PELARIN_WINDOWS_QT/bin/$dll.dll" "$stage/bin/"; done
# The plugins the program loads: the Windows platform and the native style.
# PNG, the only picture format it writes (Scroll Lock), is built into
# Qt5Gui, and the window's icon is pelarin.exe's own resource: no
# imageformats plugin is shipped.
cp "$PELARIN_WINDOWS_QT/plugins/platforms/qwindows.dll" "$stage/bin/platforms/"
cp "$PELARIN_WINDOWS_QT/plugins/styles/qwindowsvistastyle.dll" "$stage/bin/styles/"
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    cp "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)" "$stage/bin/"
done
# Debian's runtime DLLs carry their symbols (libstdc++-6.dll is 24 MB with
# them, 2 MB without); strip the copies, never the system's files. Windows
# loads a DLL through its export and relocation tables, which stay; the
# symbol table it never reads goes whole.
for binary in "$stage"/bin/*.exe "$stage"/bin/*.dll "$stage"/bin/*/*.dll; do
    x86_64-w64-mingw32-strip --strip-all "$binary"
done
# Qt's own standard buttons and dialogs in Korean.
cp "$build/portable/bin/translations/qtbase_ko.qm" "$stage/bin/translations/"
cp resources/CashItems.json "$stage/Resource/"
# The player's guide, for Notepad: UTF-8 with a byte-order mark, CRLF.
{ printf '\xEF\xBB\xBF'; sed 's/\r\?$/\r/' docs/사용법.txt; } >"$stage/사용법.txt"
cp "$PELARIN_WINDOWS_QT"/licenses/* "$stage/licenses/"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licenses/mingw-w64-gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licenses/mingw-w64-runtime.txt"
cp /usr/share/doc/qttranslations5-l10n/copyright "$stage/licenses/qttranslations.txt"
cat >"$stage/licenses/README.txt" <<TEXT
Pelarin 유틸리티 ${version} for Windows uses:
- Qt ${PELARIN_WINDOWS_QT##*qt-} (qtbase), under the GNU LGPL version 3 (LICENSE.LGPL3, with LICENSE.GPL3),
  built unmodified from Debian's source package qtbase-opensource-src;
- Qt's Korean translation of its own texts (bin/translations/qtbase_ko.qm), unmodified from
  Debian's package qttranslations5-l10n (source package qttranslations-opensource-src), which
  Debian's copyright file (qttranslations.txt) gives under the GPL version 3 with The Qt Company
  GPL Exception 1.0 (LICENSE.GPL3, LICENSE.GPL3-EXCEPT);
- the GCC runtime (libstdc++-6.dll, libgcc_s_seh-1.dll) under the GPL version 3 with the
  GCC Runtime Library Exception, and the MinGW-w64 runtime (libwinpthread-1.dll);
  their terms are in mingw-w64-gcc-runtime.txt and mingw-w64-runtime.txt. The DLLs are
  Debian's, with their symbol tables stripped.
TEXT
# Text files a Windows player opens with Notepad.
for text in "$stage"/licenses/*; do sed -i 's/\r\?$/\r/' "$text"; done

mkdir -p dist
zip_file=$root/dist/pelarin-$version-win64.zip
setup_file=$root/dist/pelarin-$version-setup.exe
rm -f "$zip_file" "$setup_file"
# Python's zipfile, not Info-ZIP's zip: it marks a name that is not ASCII
# as UTF-8 (the entry's flag bit 11), which Windows' own zip folders honour.
# Without the mark Windows reads "사용법.txt" in the system's code page.
(cd "$stage" && python3 - "$zip_file" bin Resource Screenshot licenses 사용법.txt <<'PYTHON'
import os, sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for top in sys.argv[2:]:
        if os.path.isfile(top):
            archive.write(top)
            continue
        for folder, folders, files in os.walk(top):
            folders.sort()
            archive.write(folder)  # empty folders too: Screenshot, Resource/CustomDatas
            for name in sorted(files):
                archive.write(os.path.join(folder, name))
PYTHON
)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup_file" \
    resources/windows/pelarin.nsi
echo "windows: $(stat -c %s "$zip_file") bytes $zip_file ($(du -sb "$stage" | cut -f1) bytes unpacked)"
echo "windows: $(stat -c %s "$setup_file") bytes $setup_file"

if [ $run_tests -eq 1 ]; then
    start=$SECONDS
    bash tests/wine/lib/dist.sh "$zip_file" "$setup_file" "$root"
    test_seconds=$((test_seconds + SECONDS - start))
fi
echo "windows: Qt ${qt_seconds} s, project build ${build_seconds} s, Wine tests ${test_seconds} s"

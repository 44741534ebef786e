#!/usr/bin/env bash
# Builds Qt 5.15.8's qtbase for 64-bit Windows with Debian's MinGW-w64 GCC,
# from Debian's own source package (the Qt that Debian 12 ships for Linux),
# and installs it into a cache folder outside the checkout. Does nothing when
# a complete copy is already there.
# Usage: scripts/windows-qt.sh [PREFIX]
#   PREFIX defaults to $PELARIN_WINDOWS_QT or /var/cache/pelarin/qt-5.15.8-mingw64
set -euo pipefail
cd "$(dirname "$0")/.."

prefix=${1:-${PELARIN_WINDOWS_QT:-/var/cache/pelarin/qt-5.15.8-mingw64}}
stamp=$prefix/.pelarin-complete
complete() {
    local file
    [ -f "$stamp" ] || return 1
    for file in bin/qmake bin/moc bin/uic bin/rcc bin/Qt5Widgets.dll bin/Qt5Test.dll lib/libqtmain.a \
                plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll plugins/platforms/qminimal.dll \
                plugins/styles/qwindowsvistastyle.dll mkspecs/win32-g++/qmake.conf lib/cmake/Qt5Widgets/Qt5WidgetsConfig.cmake; do
        [ -e "$prefix/$file" ] || return 1
    done
}
if complete; then
    exit 0
fi

bash scripts/setup.sh windows

cache=$(dirname "$prefix")
work=$cache/qt-mingw64-build
mkdir -p "$cache"
rm -rf "$work" "$prefix"
mkdir -p "$work"
start=$SECONDS

# The source: a temporary deb-src list for the mirror the machine already
# uses, taken only from its own apt sources (they are left as they are).
mirror=$(sed -n -E -e 's|^URIs:[[:space:]]*(https?://[^ ]+/debian/?)$|\1|p' \
    -e 's|^deb[[:space:]]+(\[[^]]*\][[:space:]]+)?(https?://[^ ]+/debian/?)[[:space:]].*|\2|p' \
    /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null | head -n 1 || true)
if [ -z "$mirror" ]; then
    echo "windows-qt: no Debian mirror in the machine's apt sources (/etc/apt/sources.list or" >&2
    echo "/etc/apt/sources.list.d/): add the Debian 12 mirror this machine installs from, as a" >&2
    echo "'deb URL bookworm main' line or a deb822 'URIs:' entry, and run this again." >&2
    exit 1
fi
srclist=$work/apt-sources
mkdir -p "$srclist/lists/partial"
echo "deb-src ${mirror%/} bookworm main" >"$srclist/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$srclist/sources.list" -o "Dir::Etc::SourceParts=-"
             -o "Dir::State::Lists=$srclist/lists" -o "APT::Get::List-Cleanup=0")
echo "windows-qt: fetching qtbase-opensource-src from $mirror"
apt-get "${apt_options[@]}" update -qq
(cd "$work" && apt-get "${apt_options[@]}" source --download-only -qq qtbase-opensource-src)
dsc=$(ls "$work"/qtbase-opensource-src_5.15.8*.dsc | head -n 1)
(cd "$work" && dpkg-source --no-check -x "$dsc" src >/dev/null)

# The POSIX-threads variant of the cross compiler, under the prefix names
# that Qt's win32-g++ makespec puts in front of gcc, g++, windres and the rest.
tools=$work/cross
mkdir -p "$tools"
for tool in gcc g++; do
    ln -sf "$(command -v x86_64-w64-mingw32-$tool-posix)" "$tools/x86_64-w64-mingw32-$tool"
done
for tool in ar ranlib nm strip objcopy windres ld dlltool; do
    ln -sf "$(command -v x86_64-w64-mingw32-$tool)" "$tools/x86_64-w64-mingw32-$tool"
done

mkdir -p "$work/build"
cd "$work/build"
echo "windows-qt: configuring"
"$work/src/configure" -prefix "$prefix" -extprefix "$prefix" \
    -xplatform win32-g++ -device-option CROSS_COMPILE="$tools/x86_64-w64-mingw32-" \
    -release -shared -opensource -confirm-license -nomake examples -nomake tests \
    -no-opengl -no-dbus -no-icu -qt-zlib -qt-libpng -qt-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz \
    -no-feature-sql -no-feature-network -no-feature-xml -no-feature-concurrent -no-feature-printer \
    -no-feature-tabletevent >"$work/configure.log" 2>&1 || { tail -n 40 "$work/configure.log"; exit 1; }
echo "windows-qt: building (about 20 minutes on 2 cores)"
make -j"$(nproc)" sub-src-qmake_all >"$work/qmake.log" 2>&1 || { tail -n 40 "$work/qmake.log"; exit 1; }
subs=(sub-widgets sub-testlib sub-winmain sub-uic sub-plugins)
make -C src -j"$(nproc)" "${subs[@]}" >"$work/make.log" 2>&1 || { tail -n 60 "$work/make.log"; exit 1; }
make -C src -j"$(nproc)" "${subs[@]/%/-install_subtargets}" >"$work/install.log" 2>&1 \
    || { tail -n 60 "$work/install.log"; exit 1; }
# The makespecs, as a full install has them: Qt's CMake files take
# qplatformdefs.h from mkspecs/win32-g++.
mkdir -p "$prefix/mkspecs"
cp -r "$work/src/mkspecs/." "$prefix/mkspecs/"
cp -f mkspecs/*.pri "$prefix/mkspecs/" 2>/dev/null || true
# Qt's CMake files also want the host's qmake, moc and the other tools in
# the prefix.
mkdir -p "$prefix/bin"
for tool in qmake moc rcc uic; do
    [ -x "bin/$tool" ] && cp -f "bin/$tool" "$prefix/bin/$tool"
done
for license in "$work/src/LICENSE.LGPL3" "$work/src/LICENSE.GPL2" "$work/src/LICENSE.GPL3" \
               "$work/src/LICENSE.GPL3-EXCEPT" "$work/src/LICENSE.FDL"; do
    [ -f "$license" ] && mkdir -p "$prefix/licenses" && cp -f "$license" "$prefix/licenses/"
done
cd /
rm -rf "$work"
date -u +%FT%TZ >"$stamp"
complete || { echo "windows-qt: the install in $prefix is incomplete" >&2; exit 1; }
echo "windows-qt: installed in $prefix in $((SECONDS - start)) s"

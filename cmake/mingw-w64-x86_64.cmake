# Cross-compiling pelarin.exe and its tests for 64-bit Windows with Debian's
# MinGW-w64 GCC (the POSIX-threads variant, which Qt's own build uses too),
# against the Qt that scripts/windows-qt.sh builds. The tests run under Wine.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DPELARIN_WINDOWS_QT=/var/cache/pelarin/qt-5.15.8-mingw64 -DRAPIDJSON_INCLUDE_DIR=<folder>
# (scripts/windows.sh does all of it.)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(PELARIN_WINDOWS_QT /var/cache/pelarin/qt-5.15.8-mingw64 CACHE PATH "The Windows Qt (scripts/windows-qt.sh)")
# RapidJSON is header-only: give the cross build a folder holding just its
# headers (-DRAPIDJSON_INCLUDE_DIR=...), never the host's whole /usr/include.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${PELARIN_WINDOWS_QT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(Qt5_DIR ${PELARIN_WINDOWS_QT}/lib/cmake/Qt5 CACHE PATH "" FORCE)

# Tests and other target commands run through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)

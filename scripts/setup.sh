#!/usr/bin/env bash
# Installs the Debian packages that building, running or testing needs,
# only those that are missing. Usage: scripts/setup.sh [run|test|package|icons|bench]
set -euo pipefail

profile=${1:-run}
# qttranslations5-l10n: Qt's own buttons and dialogs in Korean, read by the
# Linux program and shipped with the Windows one.
packages=(build-essential cmake qtbase5-dev qtbase5-dev-tools rapidjson-dev libx11-dev fonts-nanum
          qttranslations5-l10n)
if [ "$profile" = test ]; then
    packages+=(libbenchmark-dev xvfb xauth xdotool python3 clang libclang-rt-14-dev g++-mingw-w64-x86-64
               imagemagick dpkg-dev file x11-xserver-utils)
fi
# Making the Debian package (scripts/package.sh) and drawing the icons (scripts/make-icons.sh).
case "$profile" in
    package) packages+=(dpkg-dev file desktop-file-utils) ;;
    icons) packages+=(librsvg2-bin icoutils) ;;
    bench) packages+=(libbenchmark-dev time xvfb xauth) ;;
    windows) packages+=(g++-mingw-w64-x86-64-posix dpkg-dev wine wine64 nsis python3 unzip xvfb xauth xdotool
                        imagemagick fonts-nanum) ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "setup: these packages are missing and there is no sudo: ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
echo "setup: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

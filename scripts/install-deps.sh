#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, when any is missing.
# Runs apt-get as root or through sudo; otherwise says what to install and fails.
#   install-deps.sh          what `make run` and `make test` need
#   install-deps.sh fuzz     and clang with libFuzzer, for `make fuzz` only
#   install-deps.sh bench    and gnuplot, which draws the curve of `make bench`
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6test6 qt6-qpa-plugins qt6-wayland qt6-translations-l10n
    libgl-dev
    fonts-dejavu-core
    xvfb xauth
    xdotool openbox x11-xkb-utils
    unrtf
    desktop-file-utils
    # Opening the printed lists and the manual: xdg-open hands them to the desktop.
    xdg-utils
    # The Windows build and its tests: MinGW-w64, the source of Qt (apt-get source unpacks it
    # with dpkg-dev), Wine, and the Russian locale Wine takes its Windows locale from.
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev perl
    wine wine64 locales
)
if [ "${1:-}" = fuzz ]; then
    packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = bench ]; then
    packages+=(gnuplot-nox)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run=()
elif command -v sudo >/dev/null 2>&1; then
    run=(sudo)
else
    echo "Cannot install packages: not root and no sudo." >&2
    echo "Install them by hand: apt-get install ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

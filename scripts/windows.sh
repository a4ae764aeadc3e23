#!/usr/bin/env bash
# The Windows side of the project, on this Linux machine: Qt for MinGW (built once and cached),
# the cross build in build-windows/, its package, and its tests under Wine.
#   windows.sh package   builds the program and packs build-windows/QorClient-<version>-win64.zip
#   windows.sh test      the same, then every test of the Windows build under Wine and Xvfb
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-package}
jobs=${JOBS:-$(nproc)}
build=build-windows

started=$SECONDS
qt=$(bash scripts/build-qt-mingw.sh)
echo "Qt for Windows: $qt ($((SECONDS - started)) s)"

# One build for both: the package takes the program built without the test hooks.
"$qt/bin/qt-cmake" -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQOR_BUILD_TESTS=ON \
    >/dev/null
# A fresh Wine prefix for every run, so that no registry value or file of an earlier run counts.
export QOR_WINEPREFIX=$PWD/$build/wine
WINEPREFIX=$QOR_WINEPREFIX wineserver -k 2>/dev/null || true
rm -rf "$QOR_WINEPREFIX" "$QOR_WINEPREFIX".{lock,home,locale}
started=$SECONDS
if [ "$mode" = test ]; then
    cmake --build "$build" -j "$jobs"
else
    cmake --build "$build" -j "$jobs" --target windows_package
fi
echo "Windows build: $((SECONDS - started)) s; package: $(ls "$build"/QorClient-*-win64.zip)"
[ "$mode" = test ] || exit 0

started=$SECONDS
# One test at a time: they share the prefix's registry, as programs of one Windows user do.
# Wine makes windows even for offscreen programs (its message windows); they go to an X server
# of the suite's own.
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" \
    ctest --test-dir "$build" --output-on-failure
echo "Wine suite: $((SECONDS - started)) s"

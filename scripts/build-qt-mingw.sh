#!/usr/bin/env bash
# Builds Qt (Core, Gui, Widgets, Test) for 64-bit Windows with MinGW-w64 from Debian's own source
# package of qt6-base, once per machine, and prints the folder it is installed in.
#
# Debian ships no Qt for Windows, and nothing may come from anywhere but the package
# registries, so the source comes through apt: a private apt configuration, derived from the
# machine's own Debian sources list, enables the source packages without touching the system's.
# The result is cached under the user's cache folder, keyed by the Qt version and the options
# below; a cache that is missing or incomplete is built anew, never trusted.
#
#   build-qt-mingw.sh            prints the Qt prefix (building it first when needed)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/cmake/MinGW-w64-x86_64.cmake
host_cmake_dir=/usr/lib/$(gcc -dumpmachine)/cmake

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev | sed 's/[+~-].*//')
options=(
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_icu=OFF
    # The source package has no Wintab header.
    -DFEATURE_tabletevent=OFF
    # 6.4.2's Windows platform plugin does not build without OpenGL; dynamic needs no driver.
    -DINPUT_opengl=dynamic
)
key=$(printf '%s\n' "$qt_version" "${options[@]}" "$(cat "$toolchain")" | sha256sum | cut -c1-12)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/QorClient
prefix=$cache_root/qt-$qt_version-mingw-$key
stamp=$prefix/.complete

if [ -f "$stamp" ] && [ -x "$prefix/bin/qt-cmake" ] && [ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] \
    && [ -f "$prefix/bin/Qt6Widgets.dll" ] && [ -f "$prefix/plugins/platforms/qwindows.dll" ]; then
    echo "$prefix"
    exit 0
fi

log() { echo "build-qt-mingw: $*" >&2; }
log "Qt $qt_version for Windows is not in the cache; building it into $prefix (about 20 minutes on two cores)"
rm -rf "$prefix"
work=$cache_root/qt-build-$key
rm -rf "$work"
mkdir -p "$work"

# A private apt configuration: the machine's own sources, as source packages.
apt_dir=$work/apt
mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case $f in
        *.list) sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list" ;;
        *.sources) sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/$(basename "$f")" ;;
    esac
done
apt_opts=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache::Archives=$apt_dir/archives"
    -o "Debug::NoLocking=1"
)
touch "$apt_dir/sources.list"
apt-get "${apt_opts[@]}" -qq update >&2
(cd "$work" && apt-get "${apt_opts[@]}" -qq source --only-source "qt6-base=$(dpkg-query -W -f='${Version}' qt6-base-dev)" >&2)
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
[ -n "$src" ] || { log "the source of qt6-base could not be unpacked"; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir" \
    "${options[@]}" >&2
cmake --build "$work/build" --parallel "$(nproc)" >&2
cmake --install "$work/build" >&2
touch "$stamp"
rm -rf "$work"
log "Qt for Windows is ready in $prefix"
echo "$prefix"

#!/usr/bin/env bash
# Rebuilds Qt 6.4.2 for Windows from Debian's own source package qt6-base,
# as ../shared/windows-sdk/README.md describes, when that ready copy is absent.
# About an hour on two cores; the result is kept in CACHE/qt6.
#   scripts/windows/build-qt.sh CACHE
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cache="$1"
work="$cache/qt-src"
mkdir -p "$work"
cd "$work"
src="$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
if [[ -z "$src" ]]; then
    apt-get source -qq qt6-base
    src="$(find . -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
    # 6.4.2's Windows platform plugin does not compile without OpenGL.
    patch -d "$src" -p1 < "$here/scripts/windows/qtbase-6.4.2-no-opengl.patch"
fi
mkdir -p build
cd build
cmake "../$src" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$cache/qt6" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_xml=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_openssl=OFF -DFEATURE_tabletevent=OFF
ninja
cmake --install .
rm -rf "$cache/qt6/doc"
find "$cache/qt6" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

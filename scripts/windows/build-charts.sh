#!/usr/bin/env bash
# Builds Qt Charts 6.4.2 for Windows from Debian's own source package
# qt6-charts and installs it into CACHE/qt6, beside the Qt it is built
# against: Qt for Windows from ../shared/windows-sdk has no Qt Charts, and
# find_package(Qt6 COMPONENTS Charts) looks for it in that prefix. Done once;
# the sources and the build folder stay in CACHE/charts-src.
#   scripts/windows/build-charts.sh CACHE
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
cache="$1"
qt="$cache/qt6"
[[ -f "$qt/lib/cmake/Qt6Charts/Qt6ChartsConfig.cmake" ]] && exit 0
if [[ ! -f "$qt/lib/cmake/Qt6BuildInternals/Qt6BuildInternalsConfig.cmake" ]]; then
    echo "build-charts.sh: no Qt for Windows in $qt (run prepare.sh)" >&2
    exit 1
fi
work="$cache/charts-src"
mkdir -p "$work"
cd "$work"
src="$(find . -maxdepth 1 -type d -name 'qt6-charts-*' | head -n1)"
if [[ -z "$src" ]]; then
    if ! apt-get source -qq qt6-charts >download.log 2>&1; then
        cat download.log >&2
        echo "build-charts.sh: Debian's source package qt6-charts could not be fetched" >&2
        exit 1
    fi
    src="$(find . -maxdepth 1 -type d -name 'qt6-charts-*' | head -n1)"
fi
# The Charts module is built against the Qt in CACHE/qt6 (its BuildInternals
# package carries qtbase's configuration: no OpenGL, shared, Release) and
# Debian's qt6-base-dev serves as host Qt (moc, syncqt.pl), as for qtbase.
# That Qt has no OpenGL, Qml or Quick modules, so OpenGL drawing of series
# (setUseOpenGL) and the QML plugin drop out by themselves; CMAKE_DISABLE_FIND_PACKAGE keeps them out
# even if a later Qt for Windows has them. All chart and axis types stay
# (the charts_* features are types only, none needs anything more).
mkdir -p build
cd build
cmake "../$src" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
    -DWINDOWS_PREFIXES="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$qt" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6OpenGL=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6OpenGLWidgets=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Qml=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6Quick=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6QuickTest=ON >configure.log 2>&1 ||
    { cat configure.log >&2; exit 1; }
# (Its warnings about those missing optional modules stay in configure.log.)
# Two cores are shared with whoever else builds on the machine.
nice -n 10 ninja >ninja.log || { tail -n 40 ninja.log >&2; exit 1; }
cmake --install . >install.log 2>&1 || { cat install.log >&2; exit 1; }
rm -rf "$qt/doc"
# Only the new DLL: the others are stripped already and keep their dates.
x86_64-w64-mingw32-strip --strip-unneeded "$qt/bin/Qt6Charts.dll"

#!/usr/bin/env bash
# Everything the Windows build needs, made once and kept: the Debian packages
# (mingw-w64, Wine, NSIS), Qt for Windows unpacked from ../shared/windows-sdk
# (or rebuilt from Debian's source when that copy is absent), the small
# libraries, and a configured build folder.
#   scripts/windows/prepare.sh BUILD_DIR [extra cmake args]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$1"; shift
cache="${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}"
export ZELVANO_WINDOWS_CACHE="$cache"
mkdir -p "$cache"

packages=(g++-mingw-w64-x86-64-posix wine wine64 nsis zip xvfb xauth xdotool tcl dpkg-dev
    cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if ((${#missing[@]})); then
    echo "Installing for the Windows build: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's source packages need a deb-src entry for the suites in use.
if ! apt-get source --print-uris -qq zlib >/dev/null 2>&1; then
    list=/etc/apt/sources.list.d/zelvano-deb-src.sources
    echo "Adding $list (deb-src of the Debian suites in use)"
    suites="$(. /etc/os-release && echo "$VERSION_CODENAME $VERSION_CODENAME-updates")"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$suites" | $sudo tee "$list" >/dev/null
    $sudo apt-get update -qq
fi

sdk="$here/../shared/windows-sdk/qt6.4.2-mingw64-posix.tar.xz"
if [[ ! -f "$cache/qt6/lib/cmake/Qt6/Qt6Config.cmake" ]]; then
    if [[ -f "$sdk" ]]; then
        echo "Unpacking Qt for Windows from $sdk"
        tar -xJf "$sdk" -C "$cache"
    else
        "$here/scripts/windows/build-qt.sh" "$cache"
    fi
fi
# That Qt has no Qt Charts: it is built once into the same prefix. The call
# statistics draw their chart only where Charts is found (a table otherwise),
# so a failure (Debian's source not reachable) is only reported and the rest
# of the Windows build goes on.
if [[ ! -f "$cache/qt6/lib/cmake/Qt6Charts/Qt6ChartsConfig.cmake" ]]; then
    echo "windows: building Qt Charts for Windows into $cache/qt6 (once)"
    "$here/scripts/windows/build-charts.sh" "$cache" ||
        echo "windows: Qt Charts was not built; the Windows build goes on without it" >&2
fi
# Qt's Chinese texts are the same file on every system; Debian's sit where
# Qt for Windows looks for its own.
mkdir -p "$cache/qt6/translations"
cp -u /usr/share/qt6/translations/qtbase_zh_CN.qm "$cache/qt6/translations/"
# Qt's offscreen platform, which the tests use, reads fonts from lib/fonts
# only: Debian's CJK faces serve there as a Windows PC's own would.
[[ -e "$cache/qt6/lib/fonts" ]] || ln -s /usr/share/fonts/opentype/noto "$cache/qt6/lib/fonts"
deps="$("$here/scripts/windows/build-deps.sh" "$cache")"

if [[ ! -f "$build/build.ninja" ]]; then
    launcher=()
    command -v ccache >/dev/null &&
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64-x86_64.cmake" \
        -DWINDOWS_PREFIXES="$cache/qt6;$deps" "${launcher[@]}" "$@" >/dev/null
fi

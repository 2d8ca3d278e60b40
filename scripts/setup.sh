#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need,
# then configures and builds. Safe to run again: it installs only what is
# missing and rebuilds only what changed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev libgl-dev
    libsqlcipher-dev libssl-dev nettle-dev
    libzip-dev libexpat1-dev libxxhash-dev qt6-speech-dev qt6-declarative-dev qt6-charts-dev
    qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    python3 python3-xlrd python3-xlwt python3-olefile
    python3-openpyxl python3-xlsxwriter
    xvfb xauth imagemagick fonts-noto-cjk locales-all
    g++-mingw-w64-x86-64
    dpkg-dev file desktop-file-utils appstream lintian clang-format
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build="${ZELVANO_BUILD_DIR:-$here/build}"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${ZELVANO_BUILD_TYPE:-RelWithDebInfo}"
fi
cmake --build "$build" --parallel "$(nproc)"

#!/usr/bin/env bash
# The Windows build tested here: built with mingw-w64, the whole suite run
# under Wine inside Xvfb, both packages made, and the smoke run of the zip and
# the installer with real clicks. ./test.sh runs it when Qt for Windows is at
# hand (../shared/windows-sdk); a failure anywhere fails the run.
#   scripts/windows/test-windows.sh [ctest args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${ZELVANO_WINDOWS_BUILD_DIR:-$here/build-windows}"
export ZELVANO_WINDOWS_BUILD_DIR="$build"
"$here/scripts/windows/prepare.sh" "$build"
cmake --build "$build" --parallel "$(nproc)"

# Wine makes its prefix on first use; made once here, not by two tests at once.
xvfb-run -a "$here/scripts/windows/wine-run.sh" wineboot --init

export QT_QPA_PLATFORM=offscreen
# Most of a window test's time under Wine is waiting on the Wine server and
# the Python bridge, not the CPU: more tests at once than cores.
(cd "$build" && xvfb-run -a ctest --output-on-failure --parallel "$(($(nproc) * 2))" "$@")
unset QT_QPA_PLATFORM

"$here/package-windows.sh"
xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 "$here/scripts/windows/smoke.py" \
    "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-win64.zip" "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-setup.exe"

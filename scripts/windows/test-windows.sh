#!/usr/bin/env bash
# The Windows build tested here: built with mingw-w64, the whole suite run
# under Wine inside Xvfb, both packages made, and the smoke run of the zip and
# the installer with real clicks. ./test.sh runs it when Qt for Windows is at
# hand (../shared/windows-sdk); a failure anywhere fails the run.
#   scripts/windows/test-windows.sh [ctest args...]
set -euo pipefail
# ./test.sh asks Linux's Qt programs for the offscreen platform; here each
# test names its own, and the build's small tools are no Qt programs.
unset QT_QPA_PLATFORM
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${ZELVANO_WINDOWS_BUILD_DIR:-$here/build-windows}"
export ZELVANO_WINDOWS_BUILD_DIR="$build"
"$here/scripts/windows/prepare.sh" "$build"
cmake --build "$build" --parallel "$(nproc)"

# The suite inside a display of its own (scripts/windows/wine-suite.sh).
xvfb-run -a "$here/scripts/windows/wine-suite.sh" "$build" "$@"

"$here/package-windows.sh"
xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 "$here/scripts/windows/smoke.py" \
    "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-win64.zip" "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-setup.exe"

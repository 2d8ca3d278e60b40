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

# Each test names its platform (offscreen) itself; programs that are no Qt
# program must not be handed one on their command line.
unset QT_QPA_PLATFORM
export WINEPREFIX="${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}/wine"
# The first Windows program starts Wine's server and services, which keep
# its output open until they end: a test would seem to run until the last
# one. A waiting program of our own starts them first, with no output to
# hold, and keeps them for the whole run. Most of a window test's time
# under Wine is waiting on the Wine server and the Python bridge, not the
# CPU: more tests at once than cores.
run_suite() {
    local keep
    keep="$(mktemp -u)"
    mkfifo "$keep"
    "$here/scripts/windows/wine-run.sh" cmd /c pause <"$keep" >/dev/null 2>&1 &
    exec 3>"$keep" # the waiting program's input, open until this shell ends
    rm -f "$keep"
    "$here/scripts/windows/wine-run.sh" wineboot --init >/dev/null 2>&1
    local status=0
    (cd "$build" && ctest --output-on-failure --parallel "$(($(nproc) * 2))" "$@") || status=$?
    exec 3>&-
    wineserver -k || true
    return $status
}
export -f run_suite
export here build
xvfb-run -a bash -c 'run_suite "$@"' run_suite "$@"

"$here/package-windows.sh"
xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 "$here/scripts/windows/smoke.py" \
    "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-win64.zip" "${ZELVANO_DIST_DIR:-$here/dist}/Zelvano-6.0-setup.exe"

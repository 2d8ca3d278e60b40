#!/usr/bin/env bash
# The whole test suite of the Windows build under Wine, inside a display
# (test-windows.sh runs it under xvfb-run).
#   scripts/windows/wine-suite.sh BUILD_DIR [ctest args...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$1"; shift
# Each test names its platform (offscreen) itself; programs that are no Qt
# program must not be handed one on their command line.
unset QT_QPA_PLATFORM
export WINEPREFIX="${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}/wine"

# The first Windows program starts Wine's server and services, which keep
# its output open until they end: a test would seem to run until the last
# one. A waiting program of our own starts them first, with no output to
# hold, and keeps them for the whole run.
keep="$(mktemp -u)"
mkfifo "$keep"
"$here/scripts/windows/wine-run.sh" cmd /c pause <"$keep" >/dev/null 2>&1 &
exec 3>"$keep" # the waiting program's input, open until the suite ends
rm -f "$keep"
"$here/scripts/windows/wine-run.sh" wineboot --init >/dev/null 2>&1

# Most of a window test's time under Wine is waiting on the Wine server and
# the Python bridge, not the CPU: more tests at once than cores.
status=0
# Wine itself now and then stalls a program's start or end under load (a
# test of 50 ms was seen held for its whole time): a failed test runs once
# more, and one that fails twice fails the run. The first failure stays in
# the log above the second run.
(cd "$build" && ctest --output-on-failure --repeat until-pass:2 \
    --parallel "$(($(nproc) * 2))" "$@") || status=$?
exec 3>&-
wineserver -k || true
exit $status

#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, finding the Qt and mingw
# runtime DLLs as the packaged folder does beside the program. The build uses
# it for the small programs that lay out the application folder, and ctest
# for every test.
#   scripts/windows/wine-run.sh [--path DIR]... PROGRAM.exe [ARGS...]
# (each --path DIR goes on the program's PATH as well)
set -euo pipefail
cache="${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}"
extra=""
while [[ "${1:-}" == --path ]]; do
    extra+=";Z:$2"
    shift 2
done
# A Wine prefix of our own, made on first use; the user's ~/.wine is left alone.
export WINEPREFIX="${WINEPREFIX:-$cache/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" # no Mono/Gecko prompts
export WINEPATH="Z:${cache}/qt6/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib$extra"
# Wine does not hand QT_* variables to the program: a platform asked for
# (ctest asks for offscreen) goes on the command line instead.
platform=()
if [[ -n "${QT_QPA_PLATFORM:-}" ]]; then
    platform=(-platform "$QT_QPA_PLATFORM")
fi
if [[ -z "${ZELVANO_QT_TEST_LIMIT:-}" ]]; then
    exec wine "$@" "${platform[@]}"
fi

# A Qt test under ctest: Qt Test's output does not reach a pipe under Wine,
# so it goes to a file that is printed when the test ends, also when it is
# stopped for taking too long (before ctest would end this script).
log="$(mktemp --suffix=.txt)"
trap 'rm -f "$log"' EXIT
status=0
timeout -k 5 "$ZELVANO_QT_TEST_LIMIT" wine "$@" "${platform[@]}" -o "Z:$log,txt" || status=$?
tr -d '\r' <"$log"
if [[ $status == 124 || $status == 137 ]]; then
    echo "stopped after $ZELVANO_QT_TEST_LIMIT s"
fi
exit $status

#!/usr/bin/env bash
# What a teacher waits for on the Windows build, timed under Wine inside
# Xvfb: the start to the mode menu, the end after the last window, and one
# award written and saved. Prints `name: value unit` lines (figures of Wine,
# not of a real PC: compare them with Linux's from the same machine).
#   scripts/windows/bench-windows.sh
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${ZELVANO_WINDOWS_BUILD_DIR:-$here/build-windows}"
"$here/scripts/windows/prepare.sh" "$build"
cmake --build "$build" --parallel "$(nproc)" --target startup_bench prize_award_bench zelvano_host_python
run() { xvfb-run -a "$here/scripts/windows/wine-run.sh" --path "$build/host-python" "$@" 2>/dev/null | tr -d '\r'; }
run "$build/bench/startup_bench.exe"
run "$build/bench/prize_award_bench.exe" python3

#!/usr/bin/env bash
# The logic and engine suites (every GoogleTest suite) built with
# AddressSanitizer and UBSan, and run: a memory error or undefined behaviour
# fails the test that meets it. ./test.sh runs this after the main suite.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${ZELVANO_SANITIZE_BUILD_DIR:-$here/build-sanitize}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELVANO_SANITIZE=ON \
    -DZELVANO_BENCH=OFF >/dev/null
cmake --build "$build" --target zelvano_gtests
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --exclude-regex '^code_shape$')

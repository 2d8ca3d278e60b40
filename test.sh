#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/check-format.sh"
build="${ZELVANO_BUILD_DIR:-$here/build}"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
chmod 700 "$XDG_RUNTIME_DIR"
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" "$@")

# The logic and engine suites again, built with AddressSanitizer and UBSan
# (build-sanitize/). ZELVANO_SANITIZE_TESTS=0 leaves them out.
if [[ "${ZELVANO_SANITIZE_TESTS:-1}" != 0 ]]; then
    "$here/scripts/test-sanitized.sh"
fi

# The Windows build, when Qt for Windows is at hand (../shared/windows-sdk):
# built, its whole suite run under Wine, both packages made and tried; a
# failure there fails the run. ZELVANO_WINDOWS_TESTS=0 leaves it out, and
# without Qt for Windows its platform files are at least compiled.
if [[ "${ZELVANO_WINDOWS_TESTS:-1}" != 0 && -d "$here/../shared/windows-sdk" ]]; then
    "$here/scripts/windows/test-windows.sh"
else
    "$here/scripts/check-windows.sh"
fi

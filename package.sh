#!/usr/bin/env bash
# Sets up what is missing, builds, and makes the Debian package
# (build/package/zelvano_VERSION_ARCH.deb), ready for `apt install ./FILE`.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh"
build="${ZELVANO_BUILD_DIR:-$here/build}"
cd "$build"
cpack -G DEB
ls -l "$build"/package/*.deb

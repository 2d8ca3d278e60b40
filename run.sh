#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Zelvano from its application folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh"
app="${ZELVANO_BUILD_DIR:-$here/build}/app"
cd "$app"
exec ./zelvano "$@"

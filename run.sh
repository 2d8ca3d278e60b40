#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Zelvano from its application folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/setup.sh"

# "语音播报" speaks through speech-dispatcher with espeak-ng's Mandarin voice.
# Optional: without them the item is greyed and everything else works, so a
# failed install only says so.
voice=(qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng)
missing=()
for p in "${voice[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})) && [[ -z "${ZELVANO_NO_VOICE_INSTALL:-}" ]]; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    echo "Installing the optional speech packages: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" || echo "The speech packages could not be installed; 语音播报 stays off."
fi

app="${ZELVANO_BUILD_DIR:-$here/build}/app"
cd "$app"
exec ./zelvano "$@"

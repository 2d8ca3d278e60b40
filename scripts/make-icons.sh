#!/usr/bin/env bash
# Renders the program icon's PNG sizes from its SVG source (needs
# rsvg-convert from librsvg2-bin). The PNGs are kept in the repository so a
# build needs no image tools; run this again after changing the SVG.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
icon="$here/assets/icon"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icon/zelvano.svg" -o "$icon/zelvano-$size.png"
done
# The Windows program's icon holds every size (ImageMagick).
convert "$icon"/zelvano-{16,24,32,48,64,128,256}.png "$icon/zelvano.ico"

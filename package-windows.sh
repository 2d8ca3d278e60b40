#!/usr/bin/env bash
# Builds Zelvano for Windows here on Linux and packs it two ways, into dist/:
#   Zelvano-6.0-win64.zip    a folder that runs from a USB stick, no install
#   Zelvano-6.0-setup.exe    an installer for the current user (NSIS)
# Sets up what is missing first (mingw-w64, Wine, NSIS, Qt for Windows and
# the small libraries, kept in ~/.cache/zelvano-windows); safe to run again.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${ZELVANO_WINDOWS_BUILD_DIR:-$here/build-windows}"
dist="${ZELVANO_DIST_DIR:-$here/dist}"
version=6.0
"$here/scripts/windows/prepare.sh" "$build"
cmake --build "$build" --parallel "$(nproc)" --target zelvano zelvano-xls zelvano_assets

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
folder="$stage/Zelvano-$version"
"$here/scripts/windows/make-folder.sh" "$build" "$folder"
mkdir -p "$dist"

zip_file="$dist/Zelvano-$version-win64.zip"
rm -f "$zip_file"
(cd "$stage" && zip -q -r -X "$zip_file" "Zelvano-$version")

# The installer's file list: every file of the folder but the teacher's own
# (the roll book and the settings), which the script puts in only once.
files="$stage/files.nsh"
{
    echo '!macro InstallProgramFiles'
    (cd "$folder" && find . -type d | sort) | while read -r d; do
        d="${d#./}"; [[ "$d" == . ]] && d=""
        echo "    SetOutPath \"\$INSTDIR${d:+\\${d//\//\\}}\""
        (cd "$folder" && find "./$d" -maxdepth 1 -type f | sort) | while read -r f; do
            f="${f#./}"; f="${f#/}"
            [[ "$f" == 点名册.xls || "$f" == MSCOMSJK.com ]] && continue
            echo "    File \"$folder/$f\""
        done
    done
    echo '    SetOutPath "$INSTDIR"'
    echo '!macroend'
    echo '!macro RemoveProgramFiles'
    (cd "$folder" && find . -type f | sort) | while read -r f; do
        f="${f#./}"
        [[ "$f" == 点名册.xls || "$f" == MSCOMSJK.com ]] && continue
        echo "    Delete \"\$INSTDIR\\${f//\//\\}\""
    done
    (cd "$folder" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
        d="${d#./}"
        echo "    RMDir \"\$INSTDIR\\${d//\//\\}\""
    done
    echo '!macroend'
} > "$files"
makensis -V2 -INPUTCHARSET UTF8 -DSRCDIR="$folder" -DOUTFILE="$dist/Zelvano-$version-setup.exe" \
    -DFILES="$files" -DICON="$here/assets/icon/zelvano.ico" "$here/packaging/windows/zelvano.nsi"

ls -l "$zip_file" "$dist/Zelvano-$version-setup.exe"

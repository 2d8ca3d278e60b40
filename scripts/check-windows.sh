#!/usr/bin/env bash
# Compiles the Windows branch of every platform file with mingw-w64, so code
# that only the Windows build uses cannot rot unseen on Linux.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cxx=x86_64-w64-mingw32-g++-posix
command -v "$cxx" >/dev/null || cxx=x86_64-w64-mingw32-g++
mapfile -t files < <(grep -v '^\s*#' "$here/scripts/windows-sources.txt" | grep -v '^\s*$')
for f in "${files[@]}"; do
    "$cxx" -std=c++20 -Wall -Wextra -DUNICODE -D_UNICODE -I"$here" -c "$here/$f" -o /dev/null
done
echo "windows sources compiled: ${#files[@]}"

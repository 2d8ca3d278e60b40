#!/usr/bin/env bash
# Fails when a C++ file of the repository is not laid out as .clang-format
# says; `clang-format -i FILE` lays it out.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else # an unpacked copy: the sources, not what a build made
    mapfile -t files < <(find . -path './build*' -prune -o -path './dist' -prune -o \
        \( -name '*.cpp' -o -name '*.h' \) -print)
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "not laid out as .clang-format says: run clang-format -i on the files above" >&2
    exit 1
fi
echo "layout checked: ${#files[@]} files"

#!/usr/bin/env bash
# Lays out the portable folder from a Windows build: the programs, the DLLs
# they load (found by walking their imports, so nothing more is shipped),
# the Qt plugins a window needs, Qt's Chinese texts, the cues, pictures,
# sample roll book and first settings file.
#   scripts/windows/make-folder.sh BUILD_DIR TARGET_DIR
set -euo pipefail
build="$1"
target="$2"
cache="${ZELVANO_WINDOWS_CACHE:-$HOME/.cache/zelvano-windows}"
qt="$cache/qt6"
dll_dirs=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
objdump=x86_64-w64-mingw32-objdump

rm -rf "$target"
mkdir -p "$target"
app="$build/app"
cp "$app/zelvano.exe" "$app/zelvano-xls.exe" "$target/"
cp -r "$app/img" "$target/"
cp "$app/点名册.xls" "$app/MSCOMSJK.com" "$target/"
mkdir -p "$target/translations"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$target/translations/"

plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qgif.dll)
for p in "${plugins[@]}"; do
    mkdir -p "$target/$(dirname "$p")"
    cp "$qt/plugins/$p" "$target/$p"
done

# Copies every DLL that a file imports and that is not Windows' own.
declare -A seen=()
bring() {
    local file="$1" name dir
    while read -r name; do
        [[ -n "${seen[$name]:-}" ]] && continue
        seen[$name]=1
        for dir in "${dll_dirs[@]}"; do
            if [[ -f "$dir/$name" ]]; then
                cp "$dir/$name" "$target/$name"
                bring "$dir/$name"
                break
            fi
        done
    done < <("$objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
}
for f in "$target"/*.exe "${plugins[@]/#/$target/}"; do
    bring "$f"
done
# The mingw runtime comes with its debugging symbols; a teacher needs none.
find "$target" \( -name '*.dll' -o -name '*.exe' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

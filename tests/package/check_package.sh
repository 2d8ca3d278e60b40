#!/usr/bin/env bash
# Builds the Debian package from a finished build, checks what it holds and
# how it describes itself, runs lintian, then unpacks it into a scratch root
# and starts the program from there headless, as a teacher's first start
# with an empty home folder.
#
# usage: check_package.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one .deb in $work/out"
deb="${debs[0]}"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# --- What it holds --------------------------------------------------------
dpkg-deb --contents "$deb" | awk '{print $1, $6}' | sed 's#\./#/#' >"$work/contents"
share=/usr/share
expected=(
    /usr/bin/zelvano /usr/bin/zelvano-xls
    $share/zelvano/点名册.xls $share/zelvano/MSCOMSJK.com
    $share/zelvano/img/p1.gif
    $share/applications/org.zelvano.Zelvano.desktop
    $share/metainfo/org.zelvano.Zelvano.metainfo.xml
    $share/icons/hicolor/scalable/apps/zelvano.svg
    $share/man/man1/zelvano.1.gz $share/man/man1/zelvano-xls.1.gz
    $share/doc/zelvano/copyright $share/doc/zelvano/changelog.gz
)
# The cues and the start button's looks are built into the program.
! grep -qE "/zelvano/(sound/|img/bt)" "$work/contents" || fail "program resources installed as files"
for size in 16 24 32 48 64 128 256; do
    expected+=("$share/icons/hicolor/${size}x${size}/apps/zelvano.png")
done
for path in "${expected[@]}"; do
    grep -qxF -- "-rw-r--r-- $path" "$work/contents" ||
        grep -qxF -- "-rwxr-xr-x $path" "$work/contents" || fail "missing $path"
done
# Nothing of a teacher's ever ships, and nothing lies outside /usr.
! grep -E ' /usr/share/zelvano/点名册\.bak' "$work/contents" || fail "a backup is packed"
! awk '{print $2}' "$work/contents" | grep -v '^/usr/' | grep -vx '/' || fail "files outside /usr"

# --- How it describes itself ----------------------------------------------
depends="$(dpkg-deb --field "$deb" Depends)"
echo "depends: $depends"
for dep in fonts-noto-cjk qt6-qpa-plugins qt6-translations-l10n libxxhash0 libqt6widgets6 libqt6multimedia6 libsqlcipher0 libc6; do
    [[ ",$depends" == *", $dep"* || "$depends" == "$dep"* ]] || fail "Depends lacks $dep"
done
[[ "$(dpkg-deb --field "$deb" Maintainer)" == "Zelvano developers <"* ]] || fail "maintainer"
# No maintainer scripts: removing the package touches nothing but its files.
dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's#^\./##' | grep -v '^$' | sort >"$work/control"
[[ "$(tr '\n' ' ' <"$work/control")" == "control md5sums " ]] || fail "control files: $(cat "$work/control")"

root="$work/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root$share/applications/org.zelvano.Zelvano.desktop" || fail "desktop entry"
grep -qx 'Terminal=false' "$root$share/applications/org.zelvano.Zelvano.desktop" || fail "terminal"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root$share/metainfo/org.zelvano.Zelvano.metainfo.xml" ||
        fail "metainfo"
fi
for size in 16 24 32 48 64 128 256; do
    file "$root$share/icons/hicolor/${size}x${size}/apps/zelvano.png" |
        grep -q "PNG image data, $size x $size," || fail "icon $size"
done

# --- lintian: errors fail, the rest is shown --------------------------------
lintian --fail-on error "$deb" >"$work/lintian" 2>&1 ||
    { cat "$work/lintian"; fail "lintian errors"; }
echo "lintian:"
sed 's/^/  /' "$work/lintian"

# --- First start from the unpacked tree, headless, with a fresh home --------
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
out="$(env -u ZELVANO_DATA_DIR -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR \
    HOME="$home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen \
    timeout 60 "$root/usr/bin/zelvano" --check-start 2>"$work/start.err")" ||
    { cat "$work/start.err"; fail "the program did not start"; }
echo "$out"
data="$home/Documents/Zelvano"
grep -qxF "shown: Zelvano >> 目录" <<<"$out" || fail "the menu was not shown"
grep -qxF "data: $data" <<<"$out" || fail "data folder"
for seeded in 点名册.xls MSCOMSJK.com img/p1.gif; do
    [[ -f "$data/$seeded" ]] || fail "$seeded not seeded"
done
[[ ! -e "$data/img/bt1.gif" && ! -e "$data/sound" ]] || fail "program files copied into the data folder"
cmp -s "$data/点名册.xls" "$root$share/zelvano/点名册.xls" || fail "sample roll book differs"
echo "package check passed"

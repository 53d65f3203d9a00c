#!/usr/bin/env bash
# Installs the build into a scratch folder and packages it: the programs, a valid desktop entry
# that opens record files, the record file type, the icons where a desktop looks for them, the
# manual pages, the licence and the changelog, and a Debian package that carries them with its
# dependencies (Qt's platform plugins among them) and passes lintian without an error.
#   install_test.sh BUILD_DIR install|package
set -euo pipefail
build="$1"
mode="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check_tree() {
    local root="$1"
    [ -x "$root/usr/games/wintarvo" ] || fail "no program in $root/usr/games"
    [ -x "$root/usr/games/wintarvo-cli" ] || fail "no command-line tool in $root/usr/games"
    local desktop="$root/usr/share/applications/wintarvo.desktop"
    [ -f "$desktop" ] || fail "no desktop entry"
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
    grep -qx 'Exec=wintarvo %f' "$desktop" || fail "desktop entry does not start wintarvo with a file"
    grep -qx 'MimeType=application/x-wintarvo-record;' "$desktop" || fail "desktop entry opens no records"
    grep -qx 'Icon=wintarvo' "$desktop" || fail "desktop entry names no icon"
    for size in 16 22 24 32 48 64 128 256; do
        local icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/wintarvo.png"
        [ -f "$icon" ] || fail "no ${size}x${size} icon"
        file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size x $size PNG"
    done
    check_mime "$root/usr/share/mime/packages/wintarvo.xml"
    for page in wintarvo wintarvo-cli; do
        check_manual "$root/usr/share/man/man6/$page.6.gz"
    done
    local doc="$root/usr/share/doc/wintarvo"
    grep -qx 'License: Expat' "$doc/copyright" || fail "no licence in $doc/copyright"
    gzip -t "$doc/changelog.gz" || fail "no changelog in $doc"
}

# The record type: a shared-mime-info file that the database tool takes, naming *.amz and the
# record's first line.
check_mime() {
    local xml="$1"
    [ -f "$xml" ] || fail "no record file type"
    local data="$scratch/xdg/mime"
    mkdir -p "$data/packages"
    cp "$xml" "$data/packages/"
    XDG_DATA_DIRS="$scratch/xdg" update-mime-database "$data" 2> "$scratch/mime-errors" ||
        fail "update-mime-database refuses $xml"
    [ ! -s "$scratch/mime-errors" ] || fail "update-mime-database: $(cat "$scratch/mime-errors")"
    grep -q '^50:application/x-wintarvo-record:\*\.amz$' "$data/globs2" || fail "no *.amz glob"
    grep -aq "'Amazon Record File" "$data/magic" || fail "no record header magic"
    rm -rf "$scratch/xdg"
}

# A manual page of section 6, compressed as Debian wants it, that man renders without a warning.
check_manual() {
    local page="$1"
    [ -f "$page" ] || fail "no manual page $page"
    gzip -t "$page" || fail "$page is not gzip data"
    zcat "$page" | head -n 1 | grep -q '^\.TH [^ ]* 6 ' || fail "$page is not in section 6"
    if command -v man > /dev/null; then
        local warnings
        warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 > /dev/null)"
        [ -z "$warnings" ] || fail "man warns about $page: $warnings"
    fi
}

case "$mode" in
install)
    cmake --install "$build" --prefix "$scratch/usr" > /dev/null
    check_tree "$scratch"
    ;;
package)
    (cd "$scratch" && cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" > /dev/null)
    deb="$(ls "$scratch"/out/*.deb)"
    [ -n "$deb" ] || fail "no package made"
    depends="$(dpkg-deb -f "$deb" Depends)"
    for needed in qt6-qpa-plugins libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
        echo "$depends" | grep -q "$needed" || fail "package does not depend on $needed: $depends"
    done
    [ "$(dpkg-deb -f "$deb" Package)" = wintarvo ] || fail "package name"
    [ "$(dpkg-deb -f "$deb" Version)" = 1.15.904.832 ] || fail "package version"
    dpkg-deb -x "$deb" "$scratch/root"
    check_tree "$scratch/root"
    # lintian is the test set-up's; without it the package's policy check is left out.
    if command -v lintian > /dev/null; then
        lintian --fail-on error --allow-root "$deb" || fail "lintian finds errors in the package"
    else
        echo "lintian is not installed: the package's policy check is left out"
    fi
    ;;
*)
    fail "usage: $0 BUILD_DIR install|package"
    ;;
esac
echo "$mode: ok"

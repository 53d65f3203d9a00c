#!/usr/bin/env bash
# Installs the build into a scratch folder and packages it: the program, a valid desktop entry
# and the icons where a desktop looks for them, and a Debian package that carries them with
# its dependencies (Qt's platform plugins among them).
#   install_test.sh BUILD_DIR install|package
set -euo pipefail
build="$1"
mode="$2"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

check_tree() {
    local root="$1"
    [ -x "$root/usr/bin/wintarvo" ] || fail "no program in $root/usr/bin"
    [ -x "$root/usr/bin/wintarvo-cli" ] || fail "no command-line tool in $root/usr/bin"
    local desktop="$root/usr/share/applications/wintarvo.desktop"
    [ -f "$desktop" ] || fail "no desktop entry"
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
    grep -qx 'Exec=wintarvo' "$desktop" || fail "desktop entry does not start wintarvo"
    grep -qx 'Icon=wintarvo' "$desktop" || fail "desktop entry names no icon"
    for size in 16 22 24 32 48 64 128 256; do
        local icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/wintarvo.png"
        [ -f "$icon" ] || fail "no ${size}x${size} icon"
        file "$icon" | grep -q "PNG image data, $size x $size" || fail "$icon is not a $size x $size PNG"
    done
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
    ;;
*)
    fail "usage: $0 BUILD_DIR install|package"
    ;;
esac
echo "$mode: ok"

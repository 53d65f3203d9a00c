#!/usr/bin/env bash
# Sets up a Debian machine for WinTarvo, builds it and either starts the program or runs the
# whole test suite.
#
#   ./build.sh run     install what is missing, build in Release, start the program
#   ./build.sh test    install what is missing, build, run every test through ctest
#
# WINTARVO_SANITIZE=address (AddressSanitizer + UndefinedBehaviorSanitizer) or
# WINTARVO_SANITIZE=thread (ThreadSanitizer) builds and tests a sanitizer build instead.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="${1:-}"
sanitize="${WINTARVO_SANITIZE:-}"

case "$mode" in
    run|test) ;;
    *) echo "usage: $0 run|test   (WINTARVO_SANITIZE=address|thread for a sanitizer build)" >&2; exit 2 ;;
esac
case "$sanitize" in
    ""|address|thread) ;;
    *) echo "$0: WINTARVO_SANITIZE must be empty, address or thread" >&2; exit 2 ;;
esac

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libbenchmark-dev)
if [ "$mode" = test ]; then
    # clang with its libFuzzer runtime builds the fuzz targets; desktop-file-validate checks
    # the desktop entry; dpkg-dev lets CPack build the Debian package.
    packages+=(clang libclang-rt-14-dev desktop-file-utils dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ -n "$sanitize" ]; then
    build="$here/build/$sanitize"
    type=RelWithDebInfo
else
    build="$here/build/release"
    type=Release
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
    -DWINTARVO_SANITIZE="$sanitize" -DWINTARVO_WERROR=ON
cmake --build "$build"

if [ "$mode" = run ]; then
    if [ -x "$build/ui/wintarvo" ]; then
        exec "$build/ui/wintarvo"
    fi
    exec "$build/tools/wintarvo-cli" --help
fi

export QT_QPA_PLATFORM=offscreen
if [ "$sanitize" = thread ]; then
    # Qt itself is not instrumented; see the file for what it leaves out.
    export TSAN_OPTIONS="suppressions=$here/tests/tsan.supp${TSAN_OPTIONS:+ $TSAN_OPTIONS}"
fi
ctest --test-dir "$build" --output-on-failure --timeout 1500 -j "$(nproc)"

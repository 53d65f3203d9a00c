#!/usr/bin/env bash
# Sets up a Debian machine for WinTarvo, builds it and either starts the program or runs the
# whole test suite.
#
#   ./build.sh run     install what is missing, build the programs in Release, start wintarvo
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

packages=(g++ cmake ninja-build pkg-config qt6-base-dev)
if [ "$mode" = test ]; then
    # GoogleTest and Google Benchmark for the tests and benchmarks; clang with its libFuzzer
    # runtime builds the fuzz targets; desktop-file-validate checks the desktop entry;
    # dpkg-dev lets CPack build the Debian package, which lintian checks; man-db checks the
    # manual pages and shared-mime-info the record file type.
    packages+=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev desktop-file-utils
               dpkg-dev file lintian man-db shared-mime-info)
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

# Starting the program needs only the program (and the command-line tool beside it): the
# tests, the benchmarks and the fuzz targets are configured and built by the test mode alone.
if [ "$mode" = run ]; then
    everything=OFF
    targets=(--target wintarvo wintarvo-cli)
else
    everything=ON
    targets=()
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
    -DWINTARVO_SANITIZE="$sanitize" -DWINTARVO_WERROR=ON \
    -DWINTARVO_BUILD_TESTS="$everything" -DWINTARVO_BUILD_BENCH="$everything"
cmake --build "$build" "${targets[@]}"

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

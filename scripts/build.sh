#!/usr/bin/env bash
# Configures (once) and builds both architectures. Usage: build.sh [x64|x86|all]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

build_arch() {
    local arch=$1 toolchain=$2 tests=$3
    local dir=$root/build/$arch
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$dir" -G "Unix Makefiles" \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" \
            -DSETTING_BUILD_TESTS="$tests" >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" -- --no-print-directory
}

case "${1:-all}" in
    x64) build_arch x64 mingw-x86_64.cmake ON ;;
    x86) build_arch x86 mingw-i686.cmake OFF ;;
    all)
        build_arch x64 mingw-x86_64.cmake ON
        build_arch x86 mingw-i686.cmake OFF
        ;;
    *) echo "usage: $0 [x64|x86|all]" >&2; exit 2 ;;
esac

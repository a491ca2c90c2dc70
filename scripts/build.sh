#!/usr/bin/env bash
# Configures (once) and builds both architectures, the native fuzzers and the native tools.
# Usage: build.sh [x64|x86|fuzz|native|all]
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

# The fuzzers of the window-free text rules, built natively with clang and sanitizers.
build_fuzz() {
    local dir=$root/build/fuzz
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root/tools/fuzz" -B "$dir" -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" -- --no-print-directory
}

# The tools for translators and skin designers (settingcheck and its tests), built natively.
build_native() {
    local dir=$root/build/native
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$root/tools/settingcheck/native" -B "$dir" -G "Unix Makefiles" >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" -- --no-print-directory
}

case "${1:-all}" in
    x64) build_arch x64 mingw-x86_64.cmake ON ;;
    x86) build_arch x86 mingw-i686.cmake OFF ;;
    fuzz) build_fuzz ;;
    native) build_native ;;
    all)
        build_arch x64 mingw-x86_64.cmake ON
        build_arch x86 mingw-i686.cmake OFF
        build_fuzz
        build_native
        ;;
    *) echo "usage: $0 [x64|x86|fuzz|native|all]" >&2; exit 2 ;;
esac

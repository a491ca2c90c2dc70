#!/usr/bin/env bash
# Configures (once) and builds, printing one line per step; the compiler's output goes to
# build/logs/build-<what>.log. Usage: build.sh [what ...]
#   demo     the x64 module, stand-ins, demo host and configuration: what the demo shows
#            (demo-x86: the same for x86)
#   x64      the whole x64 build: module, stand-ins, host, tools, benchmark and test programs
#   x86      the x86 module, stand-ins, host and test programs (x86-all: the whole x86 build)
#   fuzz     the native fuzzers of the module's text rules
#   native   the native tools for translators and skin designers (settingcheck, its tests)
#            and the settings model's tables
#   all      x64, x86, fuzz and native: everything the tests need (the default)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
jobs=$(nproc)

configure() {
    local dir=$1 source=$2
    shift 2
    [ -f "$dir/CMakeCache.txt" ] || quietly "configure-$(basename "$dir")" cmake -S "$source" -B "$dir" "$@"
}

build_arch() {
    local arch=$1 toolchain=$2 log=$3
    shift 3
    configure "$root/build/$arch" "$root" -G "Unix Makefiles" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" ${SETTING_CMAKE_ARGS:-}
    quietly "build-$log" cmake --build "$root/build/$arch" -j "$jobs" "$@"
}

step() {
    case $1 in
        demo)
            say "building the module, the stand-ins and the demo host (x64)"
            build_arch x64 mingw-x86_64.cmake demo --target Setting SettingHost standins setting_config ;;
        demo-x86)
            say "building the module, the stand-ins and the demo host (x86)"
            build_arch x86 mingw-i686.cmake demo-x86 --target Setting SettingHost standins setting_config ;;
        x64)
            say "building the module, tools and tests (x64)"
            build_arch x64 mingw-x86_64.cmake x64 ;;
        x86)
            say "building the module and tests (x86)"
            build_arch x86 mingw-i686.cmake x86 --target ui_test unit_test ;;
        x86-all)
            say "building everything (x86)"
            build_arch x86 mingw-i686.cmake x86 ;;
        fuzz)
            say "building the fuzzers (native)"
            configure "$root/build/fuzz" "$root/tools/fuzz" -G "Unix Makefiles" -DCMAKE_CXX_COMPILER=clang++
            quietly build-fuzz cmake --build "$root/build/fuzz" -j "$jobs" ;;
        native)
            say "building settingcheck, its tests and the settings model's tables (native)"
            configure "$root/build/native" "$root/tools/settingcheck/native" -G "Unix Makefiles"
            quietly build-native cmake --build "$root/build/native" -j "$jobs"
            configure "$root/build/model" "$root/tests/model" -G "Unix Makefiles"
            quietly build-model cmake --build "$root/build/model" -j "$jobs" ;;
        all)
            for what in x64 x86 fuzz native; do step $what; done ;;
        *)
            echo "usage: $0 [demo|demo-x86|x64|x86|x86-all|fuzz|native|all ...]" >&2
            exit 2 ;;
    esac
}

for what in "${@:-all}"; do step "$what"; done

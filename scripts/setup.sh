#!/usr/bin/env bash
# Idempotent set-up, fast when everything is already there: installs what the build and the
# tests need (Debian packages only, without their recommendations) and prepares the project's
# private Wine prefix. Usage: setup.sh [packages|prefix] (both by default).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Build: cmake, make, the mingw compilers, GoogleTest (sources for mingw, built library for
# the native tools), clang with its fuzzing runtime, zlib and libpng for the native checker.
# Run: Wine, an X server, and every font a window of the module draws with: Open Sans for
# "Segoe UI", and Wine's own fonts (Tahoma of the platform's dialogs, Marlett of the caption
# buttons). python3 runs the mutation check.
packages=(cmake make mingw-w64 googletest libgtest-dev clang libclang-rt-14-dev zlib1g-dev
          libpng-dev wine wine64 xvfb xauth fonts-open-sans fonts-wine python3)

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    say "installing ${#missing[@]} packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
    export DEBIAN_FRONTEND=noninteractive
    quietly apt-update $sudo apt-get update
    quietly apt-install $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# The private Wine prefix, with "Segoe UI" mapped to Open Sans so that GDI+ finds it.
# (A FontSubstitutes entry for it as well would break GDI+'s lookup again.)
prepare_prefix() {
    export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ ! -f "$WINEPREFIX/.setting-prefix-ready" ] || return 0
    say "preparing the Wine prefix (about a minute, once)"
    mkdir -p "$WINEPREFIX"
    quietly wine-prefix bash -c '
        wineboot -i || true
        wine reg add "HKCU\Software\Wine\Fonts\Replacements" /v "Segoe UI" /d "Open Sans" /f
        # A server started without a display would keep the prefix display-less later on.
        wineserver -w'
    touch "$WINEPREFIX/.setting-prefix-ready"
}

case ${1:-all} in
    packages) install_packages ;;
    prefix) prepare_prefix ;;
    all) install_packages; prepare_prefix ;;
    *) echo "usage: $0 [packages|prefix]" >&2; exit 2 ;;
esac

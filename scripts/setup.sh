#!/usr/bin/env bash
# Idempotent set-up: installs what the build and the tests need (Debian packages only)
# and prepares the project's private Wine prefix. Fast when everything is already there.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(cmake make mingw-w64 wine wine64 xvfb xauth fonts-open-sans googletest clang libclang-rt-14-dev zlib1g-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The private Wine prefix, with "Segoe UI" mapped to Open Sans so that GDI+ finds it.
# (A FontSubstitutes entry for it as well would break GDI+'s lookup again.)
export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
marker=$WINEPREFIX/.setting-prefix-ready
if [ ! -f "$marker" ]; then
    echo "setup: preparing the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /d 'Open Sans' /f >/dev/null 2>&1
    # A server started without a display would keep the prefix display-less later on.
    wineserver -w
    touch "$marker"
fi

#!/usr/bin/env bash
# Idempotent set-up, fast when everything is already there: installs what the build and the
# tests need (Debian packages only, without their recommendations) and prepares the project's
# private Wine prefix. Usage: setup.sh [packages|prefix|prefix-dpi N|mutation] (the first two
# by default; prefix-dpi N prepares build/wineprefix-dpiN, the prefix at N dpi; mutation adds
# what the mutation check needs besides).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Build: cmake, make, the mingw compilers, GoogleTest (sources for mingw, built library for
# the native tools), clang with its fuzzing runtime, and the native checker's image decoders:
# libpng for PNG, stb_image (libstb-dev) for BMP, GIF and JPEG.
# Run: Wine, an X server, and every font a window of the module draws with: Open Sans for
# "Segoe UI", and Wine's own fonts (Tahoma of the platform's dialogs, Marlett of the caption
# buttons). python3 runs the mutation check.
packages=(cmake make mingw-w64 googletest libgtest-dev clang libclang-rt-14-dev libpng-dev
          libstb-dev wine wine64 xvfb xauth fonts-open-sans fonts-wine python3)
# The mutation check compiles through ccache: putting a fault's source back then costs no
# second compilation of everything that includes it.
mutation_packages=(ccache)

install_packages() {
    local missing=()
    for p in "$@"; do
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
    [ ! -f "$WINEPREFIX/.setting-prefix-ready" ] || { install_wine_fonts; return 0; }
    say "preparing the Wine prefix (about a minute, once)"
    mkdir -p "$WINEPREFIX"
    quietly wine-prefix bash -c '
        wineboot -i || true
        wine reg add "HKCU\Software\Wine\Fonts\Replacements" /v "Segoe UI" /d "Open Sans" /f
        # A server started without a display would keep the prefix display-less later on.
        wineserver -w'
    install_wine_fonts
    touch "$WINEPREFIX/.setting-prefix-ready"
}

# Wine's own fonts (fonts-wine: Marlett of the caption buttons, Tahoma of the platform's
# dialogs) are not found where Debian installs them; in the prefix's font folder they are.
# Without Marlett a caption's close button shows the letter "r".
install_wine_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    [ -d "$fonts" ] || return 0
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
    done
}

# The prefix at another display scaling, build/wineprefix-dpi<N> (LogPixels = N, 96 is 100 %):
# hard links to the prepared prefix's files, with real copies of those Wine writes (it
# replaces its registry files whole, so the copy never sees one half written).
prepare_dpi_prefix() {
    local dpi=$1
    [[ $dpi =~ ^[0-9]+$ ]] && ((dpi >= 96 && dpi <= 480)) || { echo "setup: no dpi: $dpi" >&2; exit 2; }
    local target=$root/build/wineprefix-dpi$dpi
    [ ! -f "$target/.setting-prefix-ready" ] || return 0
    prepare_prefix
    say "preparing a Wine prefix at $dpi dpi"
    rm -rf "$target"
    cp -al "$WINEPREFIX" "$target"
    for file in system.reg user.reg userdef.reg .update-timestamp; do
        rm -f "$target/$file"
        cp "$WINEPREFIX/$file" "$target/$file"
    done
    rm -f "$target/.setting-prefix-ready"
    quietly "wine-prefix-dpi$dpi" env WINEPREFIX="$target" bash -c "
        wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f
        wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f
        wineserver -w"
    touch "$target/.setting-prefix-ready"
}

case ${1:-all} in
    packages) install_packages "${packages[@]}" ;;
    prefix) prepare_prefix ;;
    prefix-dpi) prepare_dpi_prefix "${2:-}" ;;
    mutation) install_packages "${packages[@]}" "${mutation_packages[@]}"; prepare_prefix ;;
    all) install_packages "${packages[@]}"; prepare_prefix ;;
    *) echo "usage: $0 [packages|prefix|prefix-dpi N|mutation]" >&2; exit 2 ;;
esac

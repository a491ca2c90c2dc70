#!/usr/bin/env bash
# Idempotent set-up, fast when everything is already there: installs what the build and the
# tests need (Debian packages only, without their recommendations) and prepares the project's
# private Wine prefix. Usage: setup.sh [packages|prefix|prefix-dpi N|prefix-for ARCH DPI|mutation]
# (the first two by default; prefix-for prepares the prefix of one architecture's tests at a
# dpi, prefix-dpi N the x64 one; mutation adds what the mutation check needs besides).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# Build: cmake, make, the mingw compilers, GoogleTest (sources for mingw, built library for
# the native tools), clang with its fuzzing runtime, and the native checker's image decoders:
# libpng for PNG, stb_image (libstb-dev) for BMP, GIF and JPEG.
# Run: Wine for 64-bit and 32-bit programs (wine32 comes from Debian's i386 architecture), an
# X server, and every font a window of the module draws with: Open Sans for "Segoe UI", and
# Wine's own fonts (Tahoma of the platform's dialogs, Marlett of the caption buttons). python3
# runs the mutation check.
packages=(cmake make mingw-w64 googletest libgtest-dev clang libclang-rt-14-dev libpng-dev
          libstb-dev wine wine64 wine32:i386 xvfb xauth fonts-open-sans fonts-wine python3)
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
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        quietly dpkg-i386 $sudo dpkg --add-architecture i386
    fi
    quietly apt-update $sudo apt-get update
    quietly apt-install $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# A prefix runs 32-bit programs only if it was made after wine32 was installed; one made
# before (by an earlier set-up) runs nothing at all once wine32 is there, 64-bit programs
# included: it lacks the 32-bit system folder, and is made again.
prefix_ready() {
    [ -f "$1/.setting-prefix-ready" ] && [ -d "$1/drive_c/windows/syswow64" ]
}

# The private Wine prefix, with "Segoe UI" mapped to Open Sans so that GDI+ finds it.
# (A FontSubstitutes entry for it as well would break GDI+'s lookup again.)
prepare_prefix() {
    export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if prefix_ready "$WINEPREFIX"; then
        install_wine_fonts
        return 0
    fi
    say "preparing the Wine prefix (about a minute, once)"
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    quietly wine-prefix bash -c '
        wineboot -i || true
        wine reg add "HKCU\Software\Wine\Fonts\Replacements" /v "Segoe UI" /d "Open Sans" /f
        # A server started without a display would keep the prefix display-less later on.
        wineserver -w'
    [ -d "$WINEPREFIX/drive_c/windows/syswow64" ] || {
        echo "setup: the Wine prefix has no 32-bit system folder: is wine32:i386 installed?" >&2
        exit 1
    }
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

# The prefix of one architecture's tests at a dpi (96 is 100 %): the project's prefix for x64
# at 96, otherwise build/wineprefix[-x86][-dpi<N>]. Tests in different prefixes run side by
# side, each prefix on an X server of its own (scripts/with-display --all-prefixes).
test_prefix() {
    local arch=$1 dpi=$2 name=wineprefix
    [ "$arch" = x86 ] && name+=-x86
    [ "$dpi" = 96 ] || name+=-dpi$dpi
    echo "$root/build/$name"
}

prepare_test_prefix() {
    local arch=$1 dpi=$2
    [[ $arch =~ ^(x64|x86)$ ]] || { echo "setup: no architecture: $arch" >&2; exit 2; }
    [[ $dpi =~ ^[0-9]+$ ]] && ((dpi >= 96 && dpi <= 480)) || { echo "setup: no dpi: $dpi" >&2; exit 2; }
    local target
    target=$(test_prefix "$arch" "$dpi")
    if [ "$target" = "$root/build/wineprefix" ]; then
        prepare_prefix
        return 0
    fi
    prefix_ready "$target" && return 0
    prepare_prefix
    say "preparing the Wine prefix of the $arch tests at $dpi dpi"
    copy_prefix "$WINEPREFIX" "$target"
    quietly "wine-prefix-$arch-dpi$dpi" env WINEPREFIX="$target" bash -c "
        wine reg add 'HKCU\\Control Panel\\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f
        wine reg add 'HKCU\\Software\\Wine\\X11 Driver' /v Managed /d N /f
        wineserver -w"
    touch "$target/.setting-prefix-ready"
}

# A copy of a prepared prefix: hard links to its files, with real copies of those Wine writes
# (it replaces its registry files whole, so the copy never sees one half written).
copy_prefix() {
    local from=$1 to=$2
    WINEPREFIX=$to wineserver -k 2>/dev/null || true
    rm -rf "$to"
    cp -al "$from" "$to"
    for file in system.reg user.reg userdef.reg .update-timestamp; do
        rm -f "$to/$file"
        [ ! -e "$from/$file" ] || cp "$from/$file" "$to/$file"
    done
    rm -f "$to/.setting-prefix-ready"
}

case ${1:-all} in
    packages) install_packages "${packages[@]}" ;;
    prefix) prepare_prefix ;;
    prefix-dpi) prepare_test_prefix x64 "${2:-}" ;;
    prefix-for) prepare_test_prefix "${2:-}" "${3:-}" ;;
    mutation) install_packages "${packages[@]}" "${mutation_packages[@]}"; prepare_prefix ;;
    all) install_packages "${packages[@]}"; prepare_prefix ;;
    *) echo "usage: $0 [packages|prefix|prefix-dpi N|prefix-for ARCH DPI|mutation]" >&2; exit 2 ;;
esac

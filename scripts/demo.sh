#!/usr/bin/env bash
# Builds what the demo shows (the module, the stand-ins and the demo host; no tests or tools)
# and opens the real settings dialog over the demo host's window, with the simulated engine.
# On a desktop it opens there; without a display it runs in a private X server and saves a
# screenshot of the dialog instead. Usage: demo.sh [--arch x64|x86] (x64 by default).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
read_arch "$@"
"$root/scripts/setup.sh" packages
"$root/scripts/setup.sh" prefix &
prefix=$!
if [ "$arch" = x86 ]; then "$root/scripts/build.sh" demo-x86; else "$root/scripts/build.sh" demo; fi
wait $prefix
export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
cd "$root/build/$arch/bin"
if [ -n "${DISPLAY:-}" ]; then
    say "opening the settings over the demo host"
    # On a desktop the window manager frames the host's window.
    "$root/scripts/wine-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
    exec "$root/scripts/wine-run" SettingHost.exe /show
fi

say "no display: opening the settings in a private X server for a screenshot"
shot=$root/build/settings-dialog.png
rm -f "$shot"
"$root/scripts/with-display" "$root/scripts/wine-run" SettingHost.exe /screenshot "Z:${shot//\//\\}" >/dev/null
if [ ! -f "$shot" ]; then
    echo "demo: no screenshot was saved" >&2
    exit 1
fi
say "the dialog's screenshot: $shot"

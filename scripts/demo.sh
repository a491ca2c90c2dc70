#!/usr/bin/env bash
# Builds what is needed and opens the real settings dialog over the demo host's window,
# with the simulated engine. On a desktop it opens there; without a display it runs in a
# private X server and saves a screenshot of the dialog instead.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x64

export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
bin=$root/build/x64/bin
cd "$bin"
if [ -n "${DISPLAY:-}" ]; then
    # On a desktop the window manager frames the host's window.
    "$root/scripts/wine-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1
    exec "$root/scripts/wine-run" SettingHost.exe /show
fi

wineserver -k 2>/dev/null || true
shot=$root/build/settings-dialog.png
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    # Xvfb has no window manager: Wine must not wait for one.
    "$0/scripts/wine-run" reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    "$0/scripts/wine-run" SettingHost.exe /screenshot "$1" >/dev/null
' "$root" "Z:${shot//\//\\}"
wineserver -k 2>/dev/null || true
if [ -f "$shot" ]; then
    echo "The dialog ran headless; its screenshot: $shot"
else
    echo "demo: no screenshot was saved" >&2
    exit 1
fi

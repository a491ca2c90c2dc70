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
    exec "$root/scripts/wine-run" SettingHost.exe /show
fi

wineserver -k 2>/dev/null || true
shot=$root/build/settings-dialog.png
rm -f "$shot"
xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$root/scripts/wine-run" SettingHost.exe /screenshot "Z:${shot//\//\\}" >/dev/null
wineserver -k 2>/dev/null || true
if [ -f "$shot" ]; then
    echo "The dialog ran headless; its screenshot: $shot"
else
    echo "demo: no screenshot was saved" >&2
    exit 1
fi

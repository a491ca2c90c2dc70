#!/usr/bin/env bash
# Builds what is needed and runs every test under Wine, in a private X server.
# Extra arguments go to CTest (for example -R Layout).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" all

export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all
# A server left from a run without a display would keep the new windows from appearing.
wineserver -k 2>/dev/null || true

cd "$root/build/x64"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    # One server for the whole run, instead of one started and stopped by every test.
    wineserver -p
    # Xvfb has no window manager: Wine must not wait for one when windows are hidden.
    wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    # The first window starts the prefix'"'"'s desktop process, which then lives as long as the
    # server. Start it here, away from CTest: a test that started it would keep CTest waiting
    # for the output of a process that never ends.
    (cd bin && wine SettingHost.exe /show /autoclose) >/dev/null 2>&1 </dev/null || true
    status=0
    ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
    wineserver -k 2>/dev/null || true
    exit $status
' test-run "$@"

#!/usr/bin/env bash
# Runs SettingBench (tools/bench): the settings dialog's open latency, repaint, save round trip,
# work per opening and resources, against the platform's own dialog of the same template, in a
# private X server. Arguments go to the benchmark (--reps N, --openings N).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x64
export WINEPREFIX=${SETTING_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all
# A server left from a run without a display would keep the windows from appearing.
wineserver -k 2>/dev/null || true
output=$(mktemp)
trap 'rm -f "$output"' EXIT
cd "$root/build/x64/bin"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    # Xvfb has no window manager: Wine must not wait for one.
    wine reg add "HKCU\Software\Wine\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    # Into a file, not a pipe: the prefix'"'"'s desktop process would keep a pipe open.
    wine SettingBench.exe "$@" >"$0" 2>&1
    status=$?
    wineserver -k 2>/dev/null || true
    exit $status
' "$output" "$@" || status=$?
cat "$output"
exit $status

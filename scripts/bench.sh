#!/usr/bin/env bash
# Runs SettingBench (tools/bench): the settings dialog's open latency, repaint, save round trip,
# work per opening and resources, against the platform's own dialog of the same template, in a
# private X server. Arguments go to the benchmark (--reps N, --openings N, --cold N, --phases,
# --dpi N); with --dpi N it runs in a Wine prefix of that dpi.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" x64
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    if [ "${args[i]}" = --dpi ] && [ "${args[i+1]}" != 96 ]; then
        "$root/scripts/setup.sh" prefix-dpi "${args[i+1]}"
        export SETTING_WINEPREFIX=$root/build/wineprefix-dpi${args[i+1]}
    fi
done
cd "$root/build/x64/bin"
say "measuring (a few minutes)"
exec "$root/scripts/with-display" "$root/scripts/wine-run" SettingBench.exe "$@"

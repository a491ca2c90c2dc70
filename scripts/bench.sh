#!/usr/bin/env bash
# Runs SettingBench (tools/bench): the settings dialog's open latency, repaint, save round trip,
# work per opening and resources, against the platform's own dialog of the same template, in a
# private X server. Arguments go to the benchmark (--reps N, --openings N, --cold N, --phases,
# --dpi N); with --dpi N it runs in a Wine prefix of that dpi. --arch x86 first measures the
# x86 build (x64 by default).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
read_arch "$@"
"$root/scripts/setup.sh"
if [ "$arch" = x86 ]; then "$root/scripts/build.sh" x86-all; else "$root/scripts/build.sh" x64; fi
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    if [ "${args[i]}" = --dpi ] && [ "${args[i+1]}" != 96 ]; then
        "$root/scripts/setup.sh" prefix-dpi "${args[i+1]}"
        export SETTING_WINEPREFIX=$root/build/wineprefix-dpi${args[i+1]}
    fi
done
cd "$root/build/$arch/bin"
say "measuring the $arch build (a few minutes)"
exec "$root/scripts/with-display" "$root/scripts/wine-run" SettingBench.exe "${args[@]}"

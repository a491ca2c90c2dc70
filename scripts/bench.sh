#!/usr/bin/env bash
# Runs SettingBench (tools/bench): the settings dialog's open latency, repaint, save round trip,
# work per opening and resources, against the platform's own dialog of the same template, in a
# private X server. Arguments go to the benchmark (--reps N, --openings N, --cold N, --phases,
# --dpi N); with --dpi N it runs in a Wine prefix of that dpi. --arch x86 first measures the
# x86 build (x64 by default). --matrix first measures both builds at 96 and 144 dpi, one after
# the other with the same arguments, and ends with a table of the ratios, repaint and save.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
if [ "${1:-}" = --matrix ]; then
    shift
    reports=$(mktemp -d)
    trap 'rm -rf "$reports"' EXIT
    for arch in x64 x86; do
        for dpi in 96 144; do
            say "== $arch at $dpi dpi"
            "$0" --arch "$arch" "$@" --dpi "$dpi" | tee "$reports/$arch-$dpi"
        done
    done
    # The report's rows: the figure after the label, and the spread in brackets.
    figure() { awk -v label="$2" -v section="$3" '
        index($0, section) == 1 { inside = 1; next }
        inside && /^$/ { inside = 0 }
        inside && index($0, label) {
            rest = substr($0, index($0, label) + length(label)); sub(/^ +/, "", rest)
            print rest; exit }' "$1"; }
    printf '\n%-5s %4s  %-9s %-9s %-30s %-9s %s\n' arch dpi warm first "first, settings dialog (p10-p90)" \
        repaint "save (ms)"
    for arch in x64 x86; do
        for dpi in 96 144; do
            r=$reports/$arch-$dpi
            printf '%-5s %4s  %-9s %-9s %-30s %-9s %s\n' "$arch" "$dpi" \
                "$(figure "$r" ratio Open | cut -d' ' -f1-2)" \
                "$(figure "$r" ratio First | cut -d' ' -f1-2)" \
                "$(figure "$r" 'settings dialog' First | sed 's/ *(p10 \(.*\), p90 \(.*\))/ (\1-\2)/')" \
                "$(figure "$r" ratio Full | cut -d' ' -f1-2)" \
                "$(figure "$r" 'round trip' Save | cut -d' ' -f1)"
        done
    done
    exit 0
fi
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

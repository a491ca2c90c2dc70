#!/usr/bin/env bash
# Opens the settings dialog N times in one host process (each closed as soon as it is up) and
# prints the host's resource probe: the highest GDI slot and kernel-handle value of a burst of
# fresh objects, the working set and the committed private memory, before the first opening,
# after it and after the last. Growth from "first" to "last" is what the openings kept.
# Usage: probe.sh [--arch x86] [openings, default 1000] [--reload [--keep-common-controls]]
#   --reload: unload and load the module again between openings;
#   --keep-common-controls: keep the common controls library the module selects loaded meanwhile.
# Runs the build of the architecture (x64 by default) in a private copy of its product folder.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
read_arch "$@"
set -- "${args[@]}"
count=${1:-1000}
extra=""
if [ "${2:-}" = "--reload" ]; then extra="/reload"; fi
if [ "${3:-}" = "--keep-common-controls" ]; then extra="$extra /keepcommoncontrols"; fi
build=${SETTING_BUILD:-$root/build/$arch}
work=$(mktemp -d "$root/build/probe.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$build/bin/." "$work/"
rm -f "$work"/*_test.exe
"$root/scripts/with-display" bash -c '
    start=$(date +%s)
    wine "$1/SettingHost.exe" /show /autoclose /repeat "$2" $3 /probe "$(winepath -w "$1/probe.txt")"
    echo "openings: $2 $3 in $(( $(date +%s) - start )) s"
' probe "$work" "$count" "$extra"
cat "$work/probe.txt"

#!/usr/bin/env bash
# Pictures of every window of the real settings module for a configuration folder (holding
# Setting.ini, CreateDisk.ini and skin/default), taken headless in a private X server:
#   scripts/preview.sh CONFIG_FOLDER OUTPUT_FOLDER [--state PellucidSim.ini] [--dpi N] [--arch x86]
# writes settings.png, password.png, message-question.png, message-error.png, waiting-on.png
# and waiting-save.png into OUTPUT_FOLDER. --state gives the simulated engine's state
# (standins/README.md); --dpi N draws them at N dpi (120 is 125 %, 144 is 150 %, 192 is 200 %),
# in a Wine prefix of that dpi; --arch x86 runs the x86 build (x64 by default).
# SETTING_BUILD_DIR picks another build than build/<arch>.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
if [ $# -lt 2 ]; then
    echo "usage: $0 CONFIG_FOLDER OUTPUT_FOLDER [--state FILE] [--dpi N] [--arch x86]" >&2
    exit 2
fi
config=$(realpath "$1")
mkdir -p "$2"
output=$(realpath "$2")
shift 2
state_args=()
dpi=96
arch=x64
while [ $# -ge 2 ]; do
    case $1 in
        --state) state_args=(--state "Z:$(realpath "$2" | sed 's|/|\\|g')") ;;
        --dpi) dpi=$2 ;;
        --arch) read_arch --arch "$2" ;;
        *) echo "preview: unknown option $1" >&2; exit 2 ;;
    esac
    shift 2
done
if [ ! -d "$config" ]; then
    echo "preview: $config is not a folder" >&2
    exit 2
fi

build=${SETTING_BUILD_DIR:-$root/build/$arch}
if [ -z "${SETTING_BUILD_DIR:-}" ]; then
    "$root/scripts/setup.sh"
    "$root/scripts/build.sh" "$arch"
fi
if [ "$dpi" != 96 ]; then
    "$root/scripts/setup.sh" prefix-dpi "$dpi"
    export SETTING_WINEPREFIX=$root/build/wineprefix-dpi$dpi
fi
to_windows() { echo "Z:${1//\//\\}"; }
exec "$root/scripts/with-display" "$root/scripts/wine-run" "$build/bin/settingpreview.exe" \
    "$(to_windows "$config")" "$(to_windows "$output")" "${state_args[@]}" --dpi "$dpi"

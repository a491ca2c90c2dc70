#!/usr/bin/env bash
# Builds what is needed and runs every test under Wine, in a private X server.
# Extra arguments go to CTest (for example -R LoadTest, or -L save for one area).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" all
cd "$root/build/x64"
exec "$root/scripts/with-display" ctest --output-on-failure -j "$(nproc)" "$@"

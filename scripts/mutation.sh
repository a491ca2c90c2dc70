#!/usr/bin/env bash
# The mutation check: plants each fault of tools/mutation/mutants.txt in a copy of the tree,
# rebuilds the x64 module, runs the tests of the fault's area and prints whether a test
# caught it. Options: --only M01,M02 (some faults), --timeout SECONDS (per test).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh" mutation
exec python3 "$root/tools/mutation/mutate.py" "$@"

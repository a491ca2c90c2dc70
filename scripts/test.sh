#!/usr/bin/env bash
# Builds what the tests need and runs every test under Wine, in a private X server, ending with
# CTest's summary. Extra arguments go to CTest (for example -R LoadTest, or -L save for the
# tests of one area).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
"$root/scripts/setup.sh" packages
# The Wine prefixes (the project's, and those at 120, 144 and 192 dpi for the dpi tests) are
# prepared while the build runs.
("$root/scripts/setup.sh" prefix && for dpi in 120 144 192; do
    "$root/scripts/setup.sh" prefix-dpi $dpi
done) &
prefix=$!
"$root/scripts/build.sh" all
wait $prefix
cd "$root/build/x64"
# Listing the tests starts the test programs under Wine: inside the X server too.
exec "$root/scripts/with-display" bash -c '
    echo "test: running $(ctest -N "$@" | sed -n "s/^Total Tests: //p") tests"
    exec ctest --output-on-failure -j "$(nproc)" "$@"' test "$@"

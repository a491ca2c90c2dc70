#!/usr/bin/env bash
# Builds what the tests need and runs every test under Wine, in private X servers, ending with
# CTest's summary: the x64 and the x86 build's tests in one run, each Wine prefix (architecture
# and dpi) on an X server of its own so that their screen tests run side by side. Extra arguments go to CTest (for
# example -R LoadTest, -L save for the tests of one area, -L x86 for one architecture).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
"$root/scripts/setup.sh" packages
# The Wine prefixes (the project's, and each architecture's at 96, 120, 144 and 192 dpi) are
# prepared while the build runs.
("$root/scripts/setup.sh" prefix && for arch in x64 x86; do
    for dpi in 96 120 144 192; do "$root/scripts/setup.sh" prefix-for $arch $dpi; done
done) &
prefix=$!
"$root/scripts/build.sh" all
wait $prefix
# One test tree of both builds.
cat >"$root/build/CTestTestfile.cmake" <<'TREE'
# The tests of both architectures' builds in one CTest run (written by scripts/test.sh).
subdirs("x64")
subdirs("x86")
TREE
cd "$root/build"
# Listing the tests starts the test programs under Wine: inside the X servers too.
exec "$root/scripts/with-display" --all-prefixes bash -c '
    echo "test: running $(ctest -N "$@" | sed -n "s/^Total Tests: //p") tests"
    exec ctest --output-on-failure -j 4 "$@"' test "$@"

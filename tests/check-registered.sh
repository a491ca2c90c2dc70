#!/usr/bin/env bash
# Every test suite of the test programs is registered with CTest: a suite that add_suite does
# not name builds, and never runs.
# Usage: check-registered.sh <build folder> <test program>...
set -uo pipefail
build=$1
shift
registered=$(ctest --test-dir "$build" -N | sed -n 's/^ *Test *#[0-9]*: \([^ ]*\).*/\1/p')
status=0
for program in "$@"; do
    suites=$("$(dirname "${BASH_SOURCE[0]}")/../scripts/wine-run" "$program" --gtest_list_tests |
        tr -d '\r' | sed -n 's/^\([^ ].*\)\.$/\1/p')
    for suite in $suites; do
        # Parameterised suites stand as "Rows/Suite" in the list and in CTest's names.
        if ! grep -q -e "^$suite\." -e "^[^.]*\.$suite\." <<<"$registered"; then
            echo "FAIL: $(basename "$program"): suite $suite is not registered with CTest"
            status=1
        fi
    done
done
exit $status

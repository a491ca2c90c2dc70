#!/usr/bin/env bash
# Runs the native fuzzers of the module's text rules (tools/fuzz) for a while each.
# Usage: fuzz.sh [seconds per fuzzer, default 60] [fuzzer name ...]
# Corpora are kept in build/fuzz/corpus/<name>; a finding stops the run with its input saved
# in build/fuzz as crash-*.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
"$root/scripts/build.sh" fuzz >/dev/null
cd "$root/build/fuzz"
names=("$@")
if ((${#names[@]} == 0)); then names=(position placeholders log_line message_pattern init_flag); fi
for name in "${names[@]}"; do
    mkdir -p "corpus/$name"
    echo "fuzz_$name: $seconds s"
    "./fuzz_$name" "corpus/$name" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
        2>&1 | grep -E "^(Done|stat::number_of_executed_units|==.*ERROR|SUMMARY)" || true
    # libFuzzer's exit status tells about a finding; the grep above only shortens the output.
    if ls crash-* leak-* timeout-* >/dev/null 2>&1; then
        echo "fuzz_$name found a problem: $(ls crash-* leak-* timeout-* 2>/dev/null)" >&2
        exit 1
    fi
done

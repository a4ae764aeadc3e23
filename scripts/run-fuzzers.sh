#!/usr/bin/env bash
# Runs each fuzz target for the given seconds from a copy of its seed corpus, so that the
# repository is never written; findings go to <build>/findings/<target>.
#   run-fuzzers.sh <build folder> <seconds> <target>...
set -euo pipefail
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$@"; do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    cp -n "$here/tests/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
    echo "== fuzz_$target for $seconds s"
    if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$findings/" "$corpus" 2>&1 | tail -n 8; then
        status=1
    fi
    if compgen -G "$findings/*" >/dev/null; then
        echo "findings of fuzz_$target: $(ls "$findings")" >&2
        status=1
    fi
done
exit $status

#!/usr/bin/env bash
# Runs the fuzz targets of build-fuzz/ for a while each, starting from the seed corpus in
# fuzz/corpus/. Usage: fuzz/run.sh [seconds per target] [target...]
# New inputs collect in build-fuzz/corpus/<target>; an input that breaks a property is saved
# in build-fuzz/findings/<target>/ and the script ends with status 1.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profile_file language_file internet_shortcut address codepage ad_feed favorites_scanner playlist guide)

failed=()
for name in "${targets[@]}"; do
    binary="$root/build-fuzz/fuzz/fuzz_$name"
    if [ ! -x "$binary" ]; then
        echo "missing $binary: build it with cmake --preset fuzz && cmake --build --preset fuzz" >&2
        exit 2
    fi
    work="$root/build-fuzz/corpus/$name"
    findings="$root/build-fuzz/findings/$name"
    mkdir -p "$work" "$findings"
    echo "== fuzz_$name for ${seconds}s"
    # The first folder receives what the run learns; the seeds stay as they are in git.
    if ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}" "$binary" "$work" "$root/fuzz/corpus/$name" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" >"$findings/log.txt" 2>&1; then
        grep -E '^stat::(number_of_executed_units|new_units_added)' "$findings/log.txt"
    else
        tail -n 40 "$findings/log.txt"
        echo "fuzz_$name broke a property; input saved in $findings/ (rerun: $binary <input>)"
        failed+=("$name")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets with findings: ${failed[*]}" >&2
    exit 1
fi

#!/bin/sh
# Fuzzes every reader for SECONDS each (default 60), one target at a time,
# starting from the seeds in fuzz/corpus/, and prints a table of executions,
# coverage and crashes. New inputs that reach new code are kept in
# build/fuzz/corpus/<target>/; a crashing input is saved there as crash-*.
#   scripts/fuzz.sh 600          # ten minutes a target
#   scripts/fuzz.sh 30 script    # one target
set -eu
seconds=${1:-60}
shift 2>/dev/null || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null
targets=${*:-$(sed -n 's/^set(QUORVEL_FUZZ_TARGETS \(.*\))$/\1/p' "$root/fuzz/CMakeLists.txt")}
failed=0
printf '| %-15s | %12s | %8s | %8s | %7s |\n' target executions exec/s coverage crashes
printf '|%s|%s|%s|%s|%s|\n' ----------------- -------------- ---------- ---------- ---------
for t in $targets; do
    work=$build/corpus/$t
    mkdir -p "$work"
    log=$build/$t.log
    status=0
    "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$work/" "$work" "$root/fuzz/corpus/$t" >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    crashes=$(ls "$work" | grep -c '^\(crash\|leak\|timeout\|oom\)-' || true)
    [ "$status" -eq 0 ] || { failed=1; [ "$crashes" -gt 0 ] || crashes="exit $status"; }
    printf '| %-15s | %12s | %8s | %8s | %7s |\n' "$t" "${runs:-?}" "${rate:-?}" "${cov:-?}" "$crashes"
done
[ "$failed" -eq 0 ] || echo "a target failed: see build/fuzz/<target>.log" >&2
exit "$failed"

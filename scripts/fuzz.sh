#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each one, printing executions,
# coverage and findings per target.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [MAX_RUNS] [PARALLEL]
# Seeds: fuzz/corpus/<target>/ in the repo, plus (for the theme reader) the
# real theme files in ../shared/realworld/themes when present. New corpus
# entries are merged back into fuzz/corpus; crashes land in fuzz/findings/.
set -uo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
seconds="${1:-60}"
runs="${2:-10000000}"
parallel="${3:-2}"

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz >/dev/null || exit 1

mkdir -p fuzz/findings
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

run_one() {
    local exe="$1" name target corpus log
    name="$(basename "$exe")"
    target="${name#fuzz_}"
    corpus="$work/$target"
    mkdir -p "$corpus" "fuzz/corpus/$target"
    cp -r "fuzz/corpus/$target/." "$corpus/" 2>/dev/null
    if [ "$target" = theme_reader ] && [ -d ../shared/realworld/themes ]; then
        cp ../shared/realworld/themes/*.theme "$corpus/" 2>/dev/null
    fi
    log="$work/$target.log"
    "$exe" -max_total_time="$seconds" -runs="$runs" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="fuzz/findings/$target-" -print_final_stats=1 \
        "$corpus" >"$log" 2>&1
    local status=$?
    # Keep a minimised corpus in the repo.
    local merged="$work/$target.merged"
    mkdir -p "$merged"
    "$exe" -merge=1 "$merged" "fuzz/corpus/$target" "$corpus" >/dev/null 2>&1
    rm -rf "fuzz/corpus/$target" && mv "$merged" "fuzz/corpus/$target"
    local execs cov findings
    execs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')"
    findings="$(ls fuzz/findings/"$target"-* 2>/dev/null | wc -l)"
    printf '%-20s executions %-10s coverage %-6s findings %s (exit %s)\n' \
        "$target" "${execs:-?}" "${cov:-?}" "$findings" "$status"
    [ "$status" -eq 0 ]
}

failed=0
pids=()
for exe in build/fuzz/fuzz/fuzz_*; do
    [ -x "$exe" ] && [ -f "$exe" ] || continue
    run_one "$exe" &
    pids+=($!)
    if [ "${#pids[@]}" -ge "$parallel" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit "$failed"

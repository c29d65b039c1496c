#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each one, printing executions,
# coverage and findings per target.
#   scripts/fuzz.sh [--smoke] [SECONDS_PER_TARGET] [MAX_RUNS] [PARALLEL] [TARGET...]
# Seeds: fuzz/corpus/<target>/ (the minimised corpus), fuzz/seeds/<target>/
# (hand-made oddities and files the writer produced), plus for the theme
# reader the real theme files in ../shared/realworld/themes when present
# (the package target's seeds are written by the package_seeds program, which
# p95_fuzzers does not build: cmake --build --preset fuzz --target package_seeds,
# then build/fuzz/fuzz/package_seeds fuzz/seeds/package).
# A session run merges new corpus entries back into fuzz/corpus and keeps
# crashes in fuzz/findings/. With --smoke (CI) nothing in the repo changes:
# crashes are printed and fail the run. fuzz/<target>.dict is used when present.
# Run it under "nice -n 19" on a shared machine.
set -uo pipefail
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$top"
smoke=0
if [ "${1:-}" = --smoke ]; then
    smoke=1
    shift
fi
seconds="${1:-60}"
runs="${2:-10000000}"
parallel="${3:-2}"
shift $(($# < 3 ? $# : 3))
only=("$@")

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz --target p95_fuzzers >/dev/null || exit 1

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if [ "$smoke" -eq 1 ]; then
    findings="$work/findings"
else
    findings="fuzz/findings"
fi
mkdir -p "$findings"

run_one() {
    local exe="$1" name target corpus log
    name="$(basename "$exe")"
    target="${name#fuzz_}"
    corpus="$work/$target"
    mkdir -p "$corpus"
    cp -r "fuzz/corpus/$target/." "$corpus/" 2>/dev/null
    cp -r "fuzz/seeds/$target/." "$corpus/" 2>/dev/null
    # Both reader targets read theme files: they start from each other's
    # inputs and the real themes, with the same dictionary.
    local reader=0 dict_name="$target"
    case "$target" in theme_reader | theme_reader_diff) reader=1 dict_name=theme_reader ;; esac
    if [ "$reader" -eq 1 ]; then
        for other in theme_reader theme_reader_diff; do
            cp -r "fuzz/corpus/$other/." "fuzz/seeds/$other/." "$corpus/" 2>/dev/null
        done
        [ -d ../shared/realworld/themes ] && cp ../shared/realworld/themes/*.theme "$corpus/" 2>/dev/null
    fi
    local dict=() max_len=65536
    [ -f "fuzz/$dict_name.dict" ] && dict=(-dict="fuzz/$dict_name.dict")
    # Real themes are about 5 KB; the reader's cost grows with the input, and
    # huge files have tests of their own.
    [ "$reader" -eq 1 ] && max_len=16384
    log="$work/$target.log"
    "$exe" -max_total_time="$seconds" -runs="$runs" -max_len="$max_len" -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$findings/$target-" -print_final_stats=1 \
        "${dict[@]}" "$corpus" >"$log" 2>&1
    local status=$?
    if [ "$smoke" -eq 0 ]; then
        # Keep a minimised corpus in the repo.
        local merged="$work/$target.merged"
        mkdir -p "$merged" "fuzz/corpus/$target"
        "$exe" -merge=1 "$merged" "fuzz/corpus/$target" "$corpus" >/dev/null 2>&1
        rm -rf "fuzz/corpus/$target" && mv "$merged" "fuzz/corpus/$target"
    fi
    local execs cov ft secs found
    execs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')"
    cov="$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')"
    ft="$(grep -o 'ft: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')"
    secs="$(grep -o '^Done [0-9]* runs in [0-9]* second' "$log" | grep -o 'in [0-9]*' | grep -o '[0-9]*')"
    found="$(find "$findings" -name "$target-*" | wc -l)"
    printf '%-18s executions %-10s seconds %-5s coverage %-6s features %-6s findings %s (exit %s)\n' \
        "$target" "${execs:-?}" "${secs:-?}" "${cov:-?}" "${ft:-?}" "$found" "$status"
    if [ "$status" -ne 0 ]; then
        grep -E 'ERROR|SUMMARY|==[0-9]+==|theme reader:|theme reader differs:|scheme file:|tip file:|package:' "$log" | head -20
        [ "$smoke" -eq 1 ] && find "$findings" -name "$target-*" -exec sh -c 'echo "input $1:"; od -c "$1" | head -20' _ {} \;
    fi
    [ "$status" -eq 0 ]
}

failed=0
pids=()
for exe in build/fuzz/fuzz/fuzz_*; do
    [ -x "$exe" ] && [ -f "$exe" ] || continue
    if [ "${#only[@]}" -gt 0 ]; then
        name="$(basename "$exe")"
        printf '%s\n' "${only[@]}" | grep -qx "${name#fuzz_}" || continue
    fi
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

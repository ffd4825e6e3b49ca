#!/usr/bin/env bash
# Runs the libFuzzer targets of the sanitizer build, each for a fixed time.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
# SECONDS per target: default 30 (or $FUZZ_SECONDS); 0 runs until stopped
# (Ctrl+C). TARGET: history, rtf, clipboard, keycombo, cli (default: all).
# Targets run two at a time ($FUZZ_JOBS). Each starts from its seed corpus in
# tests/fuzz/corpus/<target> plus what earlier runs found, kept in
# build-asan/fuzz/<target>/corpus; a crashing input is written to
# build-asan/fuzz/<target>/ and the run fails. Needs `build.sh sanitize`.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_ASAN:-build-asan}
seconds=${1:-${FUZZ_SECONDS:-30}}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(history rtf clipboard keycombo cli)
jobs=${FUZZ_JOBS:-2}

# Longest input per target: what its reader meets in practice, kept short
# enough for many runs a second.
max_len() {
    case $1 in
    history) echo 16384 ;;
    rtf) echo 16384 ;;
    clipboard) echo 32768 ;;
    keycombo) echo 512 ;;
    cli) echo 2048 ;;
    *) echo 4096 ;;
    esac
}

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:print_summary=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen
# Undecodable images are the point of the exercise; Qt need not say so each time.
export QT_LOGGING_RULES="qt.gui.imageio*=false"

# Runs one target; its libFuzzer output goes to <work>/log.
run_one() {
    local name=$1 binary="$build/tests/fuzz/fuzz_$1" work="$build/fuzz/$1"
    mkdir -p "$work/corpus"
    local dict=()
    [ -f "tests/fuzz/dict/$name.dict" ] && dict=(-dict="tests/fuzz/dict/$name.dict")
    "$binary" "$work/corpus" "tests/fuzz/corpus/$name" "${dict[@]}" \
        -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$work/" >"$work/log" 2>&1
}

for name in "${targets[@]}"; do
    if [ ! -x "$build/tests/fuzz/fuzz_$name" ]; then
        echo "fuzz: no target $build/tests/fuzz/fuzz_$name (build it with: bash scripts/build.sh sanitize)" >&2
        exit 2
    fi
    rm -f "$build/fuzz/$name"/crash-* "$build/fuzz/$name"/leak-* "$build/fuzz/$name"/timeout-* \
        "$build/fuzz/$name"/oom-*
done

passed=0
failed=0
report() {
    local name=$1 rc=$2 work="$build/fuzz/$1"
    local runs
    runs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$work/log" | grep -oE '[0-9]+$' || echo '?')
    if [ "$rc" -eq 0 ]; then
        echo "fuzz $name: ok, $runs runs in ${seconds}s"
        passed=$((passed + 1))
    else
        echo "fuzz $name: FAILED (exit $rc); input kept as:"
        ls "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* 2>/dev/null | sed 's/^/    /'
        echo "    add it to tests/fuzz/corpus/$name/ under a name for the fault once fixed; log:"
        grep -E -A40 'ERROR: |runtime error|fuzz property broken|==[0-9]+== ' "$work/log" | head -n 60 | sed 's/^/    /'
        failed=$((failed + 1))
    fi
}

declare -A name_of
running=0
# Waits for one running target and reports it.
reap() {
    local done_pid rc
    wait -n -p done_pid
    rc=$?
    report "${name_of[$done_pid]}" "$rc"
    running=$((running - 1))
}
for name in "${targets[@]}"; do
    [ "$running" -ge "$jobs" ] && reap
    run_one "$name" &
    name_of[$!]=$name
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do reap; done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

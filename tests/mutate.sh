#!/usr/bin/env bash
# Proves the tests would notice real mistakes: applies each single-line fault
# of tests/mutate-faults.txt on its own, rebuilds the unit and widget test
# programs, runs them until the first failure, puts the file back, and says
# whether the fault was caught. The programs of the fault's own test folder
# are built and run first; the verdict is the whole suite's either way.
#
#   tests/mutate.sh [options] [NAME-REGEX]
#     NAME-REGEX      only the faults whose names match (grep -E)
#     --check         only verify that every fault's original line is still
#                     there exactly once; exits 1 otherwise
#     --e2e           a fault the unit and widget tests miss is tried again
#                     with scripts/run-tests.sh (X11 and Wayland tiers)
#     --build DIR     build folder (default build-mutate, or $BUILD_MUTATE)
#     --faults FILE   fault table (default tests/mutate-faults.txt)
#     --report FILE   also write the report lines to FILE
#     --no-baseline   skip the check that the untouched tree passes
#
# Logs of every build and test run are kept in <build>/mutate-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${BUILD_MUTATE:-build-mutate}
faults_file=tests/mutate-faults.txt
report_file=""
check_only=0
with_e2e=0
baseline=1
filter=""
program_timeout=600

while [ $# -gt 0 ]; do
    case "$1" in
    --check) check_only=1 ;;
    --e2e) with_e2e=1 ;;
    --build) build=$2; shift ;;
    --faults) faults_file=$2; shift ;;
    --report) report_file=$2; shift ;;
    --no-baseline) baseline=0 ;;
    -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$0"; exit 0 ;;
    -*) echo "mutate.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    *) filter=$1 ;;
    esac
    shift
done

# ---------------------------------------------------------------- fault table

names=() files=() froms=() tos=() harms=()
load_faults() {
    local line key value n=-1 lineno=0
    while IFS= read -r line || [ -n "$line" ]; do
        lineno=$((lineno + 1))
        case "$line" in '' | '#'*) continue ;; esac
        key=${line%%[[:space:]]*}
        value=${line#"$key"}
        value=${value#"${value%%[![:space:]]*}"}
        case "$key" in
        fault) n=$((n + 1)); names[n]=$value; files[n]=""; froms[n]=""; tos[n]=""; harms[n]="" ;;
        file | from | to | harm)
            if [ "$n" -lt 0 ]; then
                echo "mutate.sh: $faults_file:$lineno: '$key' before any 'fault'" >&2
                exit 2
            fi
            case "$key" in
            file) files[n]=$value ;; from) froms[n]=$value ;; to) tos[n]=$value ;; harm) harms[n]=$value ;;
            esac ;;
        *) echo "mutate.sh: $faults_file:$lineno: unknown key '$key'" >&2; exit 2 ;;
        esac
    done <"$faults_file"
    local i
    for i in "${!names[@]}"; do
        if [ -z "${files[i]}" ] || [ -z "${froms[i]}" ] || [ -z "${tos[i]}" ]; then
            echo "mutate.sh: fault ${names[i]} needs file, from and to" >&2
            exit 2
        fi
    done
}

# How many lines of FILE read as ORIGINAL once both ends are trimmed. The
# texts go through the environment: awk -v would expand backslashes.
count_original() {
    [ -f "$1" ] || { echo 0; return; }
    ORIGINAL=$2 awk '
        BEGIN { want = ENVIRON["ORIGINAL"] }
        { t = $0; sub(/^[ \t]+/, "", t); sub(/[ \t\r]+$/, "", t); if (t == want) n++ }
        END { print n + 0 }' "$1"
}

# Writes FILE with the original line replaced, its indentation kept.
apply_fault() {
    local file=$1 tmp
    tmp=$(mktemp)
    ORIGINAL=$2 REPLACEMENT=$3 awk '
        BEGIN { want = ENVIRON["ORIGINAL"]; repl = ENVIRON["REPLACEMENT"] }
        {
            t = $0; sub(/^[ \t]+/, "", t); sub(/[ \t\r]+$/, "", t)
            if (t == want) { match($0, /^[ \t]*/); print substr($0, 1, RLENGTH) repl } else print
        }' "$file" >"$tmp"
    cat "$tmp" >"$file" # in place: the file keeps its mode
    rm -f "$tmp"
}

selected_faults() {
    local i
    for i in "${!names[@]}"; do
        if [ -z "$filter" ] || grep -qE -- "$filter" <<<"${names[i]}"; then
            echo "$i"
        fi
    done
}

load_faults
mapfile -t chosen < <(selected_faults)
if [ "${#chosen[@]}" -eq 0 ]; then
    echo "mutate.sh: no fault matches '$filter'" >&2
    exit 2
fi

# What a missing original line is called in both modes.
original_state() {
    local count
    count=$(count_original "${files[$1]}" "${froms[$1]}")
    if [ ! -f "${files[$1]}" ]; then
        echo "file missing"
    elif [ "$count" -eq 0 ]; then
        echo "original line missing"
    elif [ "$count" -gt 1 ]; then
        echo "original line found $count times"
    fi
}

if [ "$check_only" -eq 1 ]; then
    # Run by the test tiers while this script has a fault applied (--e2e):
    # that fault's line is missing on purpose. 77 tells ctest "skipped".
    if [ -n "${BRAMBLET_MUTATION_APPLIED:-}" ]; then
        echo "Check skipped: fault ${BRAMBLET_MUTATION_APPLIED} is applied"
        exit 77
    fi
    bad=0
    for i in "${chosen[@]}"; do
        state=$(original_state "$i")
        if [ -n "$state" ]; then
            printf '%-12s %-40s %s: %s\n' "NOT-FOUND" "${names[i]}" "${files[i]}" "$state"
            bad=$((bad + 1))
        else
            printf '%-12s %s\n' "ok" "${names[i]}"
        fi
    done
    echo "Check: $(( ${#chosen[@]} - bad )) of ${#chosen[@]} faults apply, $bad do not"
    [ "$bad" -eq 0 ]
    exit
fi

# ---------------------------------------------------------------- restoring

mutated_file=""
backup=""
child=""
restore() {
    if [ -n "$mutated_file" ] && [ -n "$backup" ] && [ -f "$backup" ]; then
        cat "$backup" >"$mutated_file"
        rm -f "$backup"
    fi
    mutated_file=""
    backup=""
}
# Ends the build or test run in progress, children first.
stop_tree() {
    local pid
    for pid in $(pgrep -P "$1" || true); do
        stop_tree "$pid"
    done
    kill -TERM "$1" 2>/dev/null || true
}
interrupted() {
    [ -z "$child" ] || stop_tree "$child"
    restore
    echo "mutate.sh: stopped, source restored" >&2
    exit "$1"
}
# The source tree is put back whatever ends the run.
trap 'restore' EXIT
trap 'interrupted 130' INT
trap 'interrupted 143' TERM

# Runs a command in the background with its output in LOG and waits for it;
# waiting this way lets a signal stop the run at once.
run_logged() {
    local log=$1 rc=0
    shift
    "$@" >"$log" 2>&1 &
    child=$!
    wait "$child" || rc=$?
    child=""
    return "$rc"
}

# ---------------------------------------------------------------- building and testing

logs=$build/mutate-logs
configure() {
    [ -f "$build/CMakeCache.txt" ] && return
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # As scripts/build.sh's normal build, without the benchmarks nobody runs here.
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRAMBLET_BUILD_BENCH=OFF \
        "${launcher[@]}" >/dev/null
}

# The unit and widget tests as ctest lists them, and their programs.
programs=()
unit_count=0
list_unit_tests() {
    local listing pairs
    listing=$(QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" -N -V -LE 'e2e|wayland' 2>/dev/null)
    mapfile -t pairs < <(awk '
        /^[0-9]+: Test command: / { sub(/^[0-9]+: Test command: /, ""); split($0, w, " "); exe = w[1] }
        /^ *Test +#[0-9]+: / { name = $0; sub(/^ *Test +#[0-9]+: /, "", name); sub(/\..*/, "", name); print exe " " name }' <<<"$listing")
    # Only the test programs: script checks (run by bash) have no suites to map.
    mapfile -t pairs < <(printf '%s\n' "${pairs[@]}" | awk '$1 ~ /\/tests\//')
    unit_count=${#pairs[@]}
    mapfile -t programs < <(printf '%s\n' "${pairs[@]}" | awk '!seen[$1]++ { print $1 }')
}

# tests/<folder>/... -> <folder>
folder_of() {
    local rest=${1#*/tests/}
    echo "${rest%%/*}"
}

build_programs() {
    local log=$1 names=() p
    shift
    for p in "$@"; do names+=("$(basename "$p")"); done
    if [ "$with_e2e" -eq 1 ]; then
        run_logged "$log" nice -n 10 cmake --build "$build" -j 2
    else
        run_logged "$log" nice -n 10 cmake --build "$build" -j 2 --target "${names[@]}"
    fi
}

# Runs test programs one after the other, each stopping at its first
# failure; `failed` then names the first test that failed.
failed=""
run_programs() {
    local log=$1 p rc
    shift
    failed=""
    : >"$log"
    for p in "$@"; do
        rc=0
        run_logged "$log.part" env -C "$(dirname "$p")" QT_QPA_PLATFORM=offscreen nice -n 10 \
            timeout -k 10 "$program_timeout" "$p" --gtest_fail_fast --gtest_brief=1 || rc=$?
        cat "$log.part" >>"$log"
        rm -f "$log.part"
        [ "$rc" -eq 0 ] && continue
        failed=$(grep -m1 -oE '^\[  FAILED  \] [^ ]+\.[^ ,]+' "$log" | cut -c14- || true)
        if [ -z "$failed" ]; then
            case "$rc" in
            124 | 137) failed="$(basename "$p") timing out" ;;
            *) failed="$(basename "$p") ending with status $rc" ;;
            esac
        fi
        return 1
    done
    return 0
}

# The tests of the fault's own folder are built and run first, as they
# usually catch it soonest; the rest follow only when those pass, so the
# verdict is the whole suite's either way. Returns 2 when a build fails.
run_suite() {
    local name=$1 folder=$2 near=() rest=() p
    for p in "${programs[@]}"; do
        if [ -n "$folder" ] && [ "$(folder_of "$p")" = "$folder" ]; then near+=("$p"); else rest+=("$p"); fi
    done
    if [ "${#near[@]}" -gt 0 ]; then
        build_programs "$logs/$name.build.log" "${near[@]}" || return 2
        run_programs "$logs/$name.near.log" "${near[@]}" || return 1
    fi
    build_programs "$logs/$name.build-rest.log" "${rest[@]}" || return 2
    run_programs "$logs/$name.rest.log" "${rest[@]}" || return 1
    if [ "$with_e2e" -eq 1 ]; then
        if ! run_logged "$logs/$name.e2e.log" bash scripts/run-tests.sh "$build"; then
            failed="an end-to-end test, see $logs/$name.e2e.log"
            return 1
        fi
    fi
    return 0
}

report() {
    echo "$1"
    [ -z "$report_file" ] || echo "$1" >>"$report_file"
}

configure
mkdir -p "$logs"
[ -z "$report_file" ] || : >"$report_file"
started=$(date +%s)

echo "Building the untouched tree in $build ..."
if ! run_logged "$logs/baseline.build.log" nice -n 10 cmake --build "$build" -j 2; then
    echo "mutate.sh: the untouched tree does not build, see $logs/baseline.build.log" >&2
    exit 1
fi
list_unit_tests
if [ "$unit_count" -eq 0 ]; then
    echo "mutate.sh: no unit or widget test found in $build" >&2
    exit 1
fi
if [ "$baseline" -eq 1 ]; then
    echo "Running the $unit_count unit and widget tests on the untouched tree ..."
    if ! run_programs "$logs/baseline.log" "${programs[@]}"; then
        echo "mutate.sh: the untouched tree already fails ($failed); see $logs/baseline.log" >&2
        exit 1
    fi
fi

runner="each test program once"
[ "$with_e2e" -eq 0 ] || runner+=", then the end-to-end tiers"
report "Faults: ${#chosen[@]} of $faults_file; tree: $(git rev-parse --short HEAD 2>/dev/null || echo unknown); suite: $unit_count unit and widget tests ($runner)"
caught=0 missed=0 absent=0 broken=0
for i in "${chosen[@]}"; do
    name=${names[i]}
    file=${files[i]}
    state=$(original_state "$i")
    if [ -n "$state" ]; then
        report "$(printf '%-12s %-40s %s' NOT-FOUND "$name" "$file: $state")"
        absent=$((absent + 1))
        continue
    fi
    t0=$(date +%s)
    backup=$(mktemp)
    cp "$file" "$backup"
    mutated_file=$file
    apply_fault "$file" "${froms[i]}" "${tos[i]}"
    export BRAMBLET_MUTATION_APPLIED=$name

    folder=""
    [[ "$file" != src/*/* ]] || folder=$(cut -d/ -f2 <<<"$file")
    rc=0
    run_suite "$name" "$folder" || rc=$?
    case "$rc" in
    0) verdict=MISSED; detail=${harms[i]}; missed=$((missed + 1)) ;;
    1) verdict=caught; detail="by $failed"; caught=$((caught + 1)) ;;
    *) verdict=BUILD-FAILED; detail="see $logs/$name.build*.log"; broken=$((broken + 1)) ;;
    esac
    restore
    unset BRAMBLET_MUTATION_APPLIED
    report "$(printf '%-12s %-40s %4ss  %s' "$verdict" "$name" "$(( $(date +%s) - t0 ))" "$detail")"
done

total=${#chosen[@]}
report "Caught $caught of $total faults (missed $missed, original line missing $absent, build failed $broken) in $(( $(date +%s) - started ))s"

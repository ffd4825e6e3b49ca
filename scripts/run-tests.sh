#!/usr/bin/env bash
# Runs every test of one build folder: unit and widget tests offscreen, then
# the end-to-end tests against a private Xvfb display with openbox as the
# window manager, then the Wayland tests against a headless sway with
# XWayland. In a sanitizer build (BRAMBLET_SANITIZE) every test and the
# program the end-to-end tests start stop at the first sanitizer report.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

unit_timeout=120
e2e_timeout=300
if grep -q '^BRAMBLET_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
    export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:print_summary=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:print_summary=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0
    # Instrumented code runs a few times slower: ctest's limits grow, and so
    # does every deadline inside the end-to-end tests (tests/e2e/support/patience.h).
    unit_timeout=600
    e2e_timeout=900
    export BRAMBLET_E2E_TIME_SCALE=${BRAMBLET_E2E_TIME_SCALE:-5}
fi

# An end-to-end test drives a real X server, window manager or compositor,
# whose timing we do not own: one that fails is run once more, and ctest's
# output shows it ("Test Failed" then "Passed"). A test that fails twice fails
# the run.
e2e_retry=(--repeat until-pass:2)

# BRAMBLET_E2E_TESTS narrows the end-to-end and Wayland tiers to the tests
# whose names match it (a ctest -R expression); unset, all of them run.
e2e_select=()
[ -n "${BRAMBLET_E2E_TESTS:-}" ] && e2e_select=(-R "$BRAMBLET_E2E_TESTS")

summary_dir=$(mktemp -d)
# How many tests a ctest selection holds, so a phase with none is skipped
# rather than run (ctest closes such a run with "No tests were found").
selected() {
    ctest --test-dir "$build" -N "$@" 2>/dev/null | grep -oE '^Total Tests: [0-9]+' | grep -oE '[0-9]+$' || echo 0
}
# Reads ctest's "out of N" line into passed/failed counts for the closing line.
count() {
    local log=$1 total failed
    total=$(grep -oE 'tests failed out of [0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n1 || true)
    failed=$(grep -oE '[0-9]+ tests failed out of' "$log" | grep -oE '^[0-9]+' | tail -n1 || true)
    echo "$(( ${total:-0} - ${failed:-0} )) ${failed:-0}"
}

export QT_QPA_PLATFORM=offscreen
unit_rc=0
ctest --test-dir "$build" --output-on-failure -LE 'e2e|wayland' -j2 --timeout "$unit_timeout" 2>&1 | tee "$summary_dir/unit.log" || unit_rc=$?

# End-to-end tier: our own X server so nothing depends on the caller's session.
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
display_num=$(( 90 + RANDOM % 100 ))
while [ -e "/tmp/.X11-unix/X$display_num" ] || [ -e "/tmp/.X$display_num-lock" ]; do
    display_num=$(( display_num + 1 ))
done
export DISPLAY=":$display_num"
Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/tmp/bramblet-xvfb.log 2>&1 &
xvfb_pid=$!
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    bash tests/e2e/support/start-sway.sh stop 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/tmp/bramblet-openbox.log 2>&1 &
wm_pid=$!
sleep 0.5
e2e_rc=0
if [ "$(selected -L e2e "${e2e_select[@]}")" -gt 0 ]; then
    ctest --test-dir "$build" --output-on-failure -L e2e "${e2e_select[@]}" "${e2e_retry[@]}" --timeout "$e2e_timeout" 2>&1 | tee "$summary_dir/e2e.log" || e2e_rc=$?
else
    echo "End-to-end tier: no test selected" | tee "$summary_dir/e2e.log"
fi

# Wayland tier: a headless sway of our own (it runs as an unprivileged user;
# the tests reach its socket by path). When it cannot start, the tests run
# without a compositor and skip, saying why.
kill "$wm_pid" 2>/dev/null || true
wm_pid=""
kill "$xvfb_pid" 2>/dev/null || true
export BRAMBLET_SWAY_STATE=/tmp/bramblet-sway.$$
if sway_env=$(bash tests/e2e/support/start-sway.sh start 2>"$summary_dir/sway.err"); then
    eval "$sway_env"
else
    echo "Wayland tier: $(cat "$summary_dir/sway.err"); its tests skip" >&2
    unset WAYLAND_DISPLAY DISPLAY
    export QT_QPA_PLATFORM=offscreen
fi
wayland_rc=0
if [ "$(selected -L wayland "${e2e_select[@]}")" -gt 0 ]; then
    # The test processes themselves open no window: offscreen keeps Qt's own
    # Wayland plugin (which leaves its registry objects behind at exit) out
    # of them; the programs they start pick their platform themselves.
    QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -L wayland "${e2e_select[@]}" "${e2e_retry[@]}" --timeout "$e2e_timeout" 2>&1 | tee "$summary_dir/wayland.log" || wayland_rc=$?
else
    echo "Wayland tier: no test selected" | tee "$summary_dir/wayland.log"
fi
bash tests/e2e/support/start-sway.sh stop || true

read -r up uf < <(count "$summary_dir/unit.log")
read -r ep ef < <(count "$summary_dir/e2e.log")
read -r wp wf < <(count "$summary_dir/wayland.log")
echo "unit ($build): $up passed, $uf failed"
echo "e2e ($build): $ep passed, $ef failed"
echo "wayland ($build): $wp passed, $wf failed"
echo "total: $(( up + ep + wp )) passed, $(( uf + ef + wf )) failed"
[ "$unit_rc" -eq 0 ] && [ "$e2e_rc" -eq 0 ] && [ "$wayland_rc" -eq 0 ]

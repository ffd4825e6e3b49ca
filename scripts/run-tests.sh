#!/usr/bin/env bash
# Runs every test: unit and widget tests offscreen, then the end-to-end tests
# against a private Xvfb display with openbox as the window manager.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."

export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -LE e2e -j2 --timeout 120

# End-to-end tier: our own X server so nothing depends on the caller's session.
unset QT_QPA_PLATFORM
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
}
trap cleanup EXIT
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/tmp/bramblet-openbox.log 2>&1 &
wm_pid=$!
sleep 0.5
ctest --test-dir "$build" --output-on-failure -L e2e --timeout 300

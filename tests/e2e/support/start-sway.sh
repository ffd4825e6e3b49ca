#!/usr/bin/env bash
# Starts a headless sway (with XWayland) for the Wayland test phase and prints
# the variables the tests need, one "export NAME=value" line each:
#   eval "$(tests/e2e/support/start-sway.sh start)"   ...   tests/e2e/support/start-sway.sh stop
# sway refuses to run as root, so it runs as an unprivileged user of its own
# (created when missing) with a private XDG_RUNTIME_DIR (0700). Root, which
# runs the tests, reaches the Wayland socket by its path and is let into
# XWayland with xhost. Exit status 1 with the reason on stderr when sway
# cannot start here.
set -euo pipefail
user=${BRAMBLET_SWAY_USER:-bramblet-wl}
state=${BRAMBLET_SWAY_STATE:-/tmp/bramblet-sway}

stop() {
    if [ -f "$state/sway.pid" ]; then
        kill "$(cat "$state/sway.pid")" 2>/dev/null || true
        for _ in $(seq 1 50); do kill -0 "$(cat "$state/sway.pid")" 2>/dev/null || break; sleep 0.1; done
        rm -f "$state/sway.pid"
    fi
    rm -rf "$state"
}

start() {
    command -v sway >/dev/null || { echo "sway is not installed" >&2; exit 1; }
    if ! id "$user" >/dev/null 2>&1; then
        useradd --system --create-home --shell /usr/sbin/nologin "$user" >/dev/null 2>&1 \
            || { echo "cannot create the user $user for sway" >&2; exit 1; }
    fi
    stop
    mkdir -p "$state/runtime"
    chown "$user" "$state/runtime"
    chmod 0700 "$state/runtime"
    cat > "$state/config" <<CONF
xwayland enable
# The tests read XWayland's display from here and let root into it.
exec sh -c 'xhost +si:localuser:root >/dev/null 2>&1; echo "\$DISPLAY" > $state/runtime/display'
CONF
    chmod 0644 "$state/config"
    chmod 0755 "$state"
    su "$user" -s /bin/sh -c "cd / && echo \$\$ > $state/runtime/sway.pid && exec env -i PATH=/usr/local/bin:/usr/bin:/bin HOME=\$(getent passwd $user | cut -d: -f6) \
        XDG_RUNTIME_DIR=$state/runtime WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c $state/config" >"$state/sway.log" 2>&1 &
    local socket=""
    for _ in $(seq 1 100); do
        socket=$(find "$state/runtime" -maxdepth 1 -type s -name 'wayland-*' 2>/dev/null | head -n1)
        [ -n "$socket" ] && [ -s "$state/runtime/display" ] && break
        sleep 0.1
    done
    if [ -z "$socket" ] || [ ! -s "$state/runtime/display" ]; then
        echo "sway did not start: $(tail -n 3 "$state/sway.log" | tr '\n' ' ')" >&2
        [ -s "$state/runtime/sway.pid" ] && kill "$(cat "$state/runtime/sway.pid")" 2>/dev/null
        exit 1
    fi
    cp "$state/runtime/sway.pid" "$state/sway.pid"
    local display
    display=$(cat "$state/runtime/display")
    # XWayland starts on first use; wait until root may connect.
    for _ in $(seq 1 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    echo "export WAYLAND_DISPLAY=$socket"
    echo "export DISPLAY=$display"
    echo "export SWAYSOCK=$(find "$state/runtime" -maxdepth 1 -type s -name "sway-ipc.*" | head -n1)"
    echo "export BRAMBLET_SWAY_RUNTIME=$state/runtime"
}

case "${1:-start}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac

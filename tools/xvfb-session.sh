#!/usr/bin/env bash
# Sourced by the scripts that need a display: starts Xvfb with a small window manager that has a tray,
# and stops both on exit.
mj_start_display() {
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/mijutong-xdg.XXXXXX)
    chmod 700 "$XDG_RUNTIME_DIR"
    local n
    for n in $(seq 90 120); do [ -e "/tmp/.X11-unix/X$n" ] || break; done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    MJ_XVFB=$!
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    jwm -f "$(dirname "${BASH_SOURCE[0]}")/jwmrc" >/dev/null 2>&1 &
    MJ_WM=$!
    sleep 0.5
    trap mj_stop_display EXIT
}
mj_stop_display() {
    kill "${MJ_WM:-}" "${MJ_XVFB:-}" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "${XDG_RUNTIME_DIR:-/nonexistent}"
}
# Waits until a window whose title contains $1 is mapped; prints its id.
mj_wait_window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) && [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

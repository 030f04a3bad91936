#!/usr/bin/env bash
# Builds 觅剧通 and starts it. Without a display it runs under Xvfb (with a tray), saves a screenshot of
# the screen with the main window, prints where it went, and ends the program cleanly.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target mijutong mj_grab mj_webview
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec build/mijutong
fi
. tools/xvfb-session.sh
mj_start_display
shot="$PWD/build/screenshot-main.png"
build/mijutong &
pid=$!
mj_wait_window "觅剧通软件V1.6" >/dev/null || { echo "the main window did not appear" >&2; exit 1; }
sleep 1
build/mj_grab "$shot"
kill -TERM "$pid"
rc=0
wait "$pid" || rc=$?
echo "mijutong ended with status $rc"
echo "screenshot: $shot"
exit "$rc"

#!/usr/bin/env bash
# Start-up benchmark under Xvfb: time from exec until the main window is mapped and the peak resident memory,
# for 觅剧通 and for a bare Qt Widgets program with one empty window, in the same run; then the memory before
# and after opening the web-TV window, and whether WebEngine was loaded before that.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${RUNS:-5}
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target mijutong mj_bare_peer mj_webview >/dev/null
. tools/xvfb-session.sh
mj_start_display
export HOME=$(mktemp -d)  # a first start each time: the skin engine is deployed anew
now_ms() { date +%s%3N; }
kb() { awk -v k="$2" '$1 == k":" {print $2}' "/proc/$1/status"; }

# Starts the command, waits for a mapped window with the title, prints "ms peak_kb".
measure() {
    local title=$1; shift
    rm -rf "$HOME/.local"
    local t0 t1 pid
    t0=$(now_ms)
    "$@" >/dev/null 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; do sleep 0.005; done
    t1=$(now_ms)
    sleep 0.3
    echo "$((t1 - t0)) $(kb "$pid" VmHWM)"
    kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -a ours_ms ours_kb peer_ms peer_kb
for _ in $(seq "$runs"); do
    read -r ms kb < <(measure "觅剧通软件V1.6" build/mijutong); ours_ms+=("$ms"); ours_kb+=("$kb")
    read -r ms kb < <(measure "bare-peer" build/mj_bare_peer); peer_ms+=("$ms"); peer_kb+=("$kb")
done
om=$(printf '%s\n' "${ours_ms[@]}" | median); ok=$(printf '%s\n' "${ours_kb[@]}" | median)
pm=$(printf '%s\n' "${peer_ms[@]}" | median); pk=$(printf '%s\n' "${peer_kb[@]}" | median)
printf 'start-up (median of %d)   time to window   peak RSS\n' "$runs"
printf '  mijutong               %6d ms        %7d KiB\n' "$om" "$ok"
printf '  bare Qt window         %6d ms        %7d KiB\n' "$pm" "$pk"
awk -v a="$om" -v b="$pm" -v c="$ok" -v d="$pk" 'BEGIN {printf "  ratio                  %6.2f           %7.2f\n", a/b, c/d}'

# WebEngine: not loaded at start; what opening the web-TV window costs.
rm -rf "$HOME/.local"
build/mijutong >/dev/null 2>&1 &
pid=$!
wid=$(mj_wait_window "觅剧通软件V1.6")
sleep 0.5
loaded=$(grep -c libQt6WebEngineCore "/proc/$pid/maps" || true)
before=$(kb "$pid" VmRSS)
xdotool mousemove --window "$wid" 316 52 click 1   # 按钮10 "在线网络电视"
mj_wait_window "青禾资源" >/dev/null
sleep 3
after=$(kb "$pid" VmRSS)
loaded_after=$(grep -c libQt6WebEngineCore "/proc/$pid/maps" || true)
kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
echo "WebEngine mapped at start: $([ "$loaded" -gt 0 ] && echo yes || echo no); after opening the web-TV window: $([ "$loaded_after" -gt 0 ] && echo yes || echo no)"
echo "RSS before opening the web-TV window: $before KiB; after: $after KiB (+$((after - before)) KiB)"

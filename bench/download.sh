#!/usr/bin/env bash
# Download benchmark against one local nginx, in one run: the project's library beside curl, aria2c and axel.
# (a) 64 MiB, no limit, 1, 6 and 16 connections; (b) 200 KB/s per connection (16 MiB, pieces of at least
# 256 KiB), 6, 16 and 60 connections; (c) the paced mode (SpeedLimit 999999999), 6, 20 and 120 connections,
# against its cap of connections x 20480 bytes a second. Prints wall time, throughput, CPU seconds, peak RSS
# and the ratio of each peer's wall time to ours.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target mj_dlbench >/dev/null
work=$(mktemp -d /tmp/mj-bench.XXXXXX)
trap 'kill "$(cat "$work/nginx.pid" 2>/dev/null)" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/html" "$work/tmp" "$work/out"
head -c $((64 << 20)) /dev/urandom > "$work/html/big"
head -c $((16 << 20)) /dev/urandom > "$work/html/mid"
head -c $((2 << 20)) /dev/urandom > "$work/html/small"
chmod -R a+rX "$work"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
{
    [ "$(id -u)" -eq 0 ] && echo "user root root;"
    cat <<CONF
worker_processes 2;
error_log $work/error.log error;
pid $work/nginx.pid;
events { worker_connections 4096; }
http {
  access_log off;
  client_body_temp_path $work/tmp; proxy_temp_path $work/tmp; fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp; scgi_temp_path $work/tmp;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$port;
    root $work/html;
    location /limited/ { alias $work/html/; limit_rate 200k; }
  }
}
CONF
} > "$work/nginx.conf"
nginx -p "$work" -c "$work/nginx.conf"
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/small" && break; sleep 0.1; done
base="http://127.0.0.1:$port"

# run NAME BYTES CMD...: prints one row and remembers our wall time for the ratios.
ours=0
run() {
    local name=$1 bytes=$2; shift 2
    rm -f "$work/out/"*
    /usr/bin/time -o "$work/time" -f "%e %U %S %M" "$@" >/dev/null 2>&1 || true
    read -r wall user sys rss < "$work/time"
    local mibs ratio=""
    mibs=$(awk -v b="$bytes" -v w="$wall" 'BEGIN {printf "%.1f", (w > 0 ? b / w / 1048576 : 0)}')
    if [[ $name == mijutong* ]]; then ours=$wall; else ratio=$(awk -v a="$wall" -v b="$ours" 'BEGIN {printf "%.2f", (b > 0 ? a / b : 0)}'); fi
    printf '  %-28s %7.2f s %8s MiB/s %6.2f s CPU %7d KiB  %s\n' "$name" "$wall" "$mibs" \
        "$(awk -v u="$user" -v s="$sys" 'BEGIN {print u + s}')" "$rss" "${ratio:+peer/ours $ratio}"
}

echo "(a) 64 MiB, no speed limit"
for n in 1 6 16; do
    run "mijutong $n" $((64 << 20)) build/mj_dlbench "$base/big" "$work/out/big" "$n" 0
    [ "$n" -eq 1 ] && run "curl -o" $((64 << 20)) curl -s -o "$work/out/big" "$base/big"
    run "aria2c -x$n -s$n -k1M" $((64 << 20)) aria2c -q -x"$n" -s"$n" -k1M -d "$work/out" -o big "$base/big"
done
echo "(b) 16 MiB, 200 KB/s per connection"
for n in 6 16 60; do
    run "mijutong $n" $((16 << 20)) build/mj_dlbench "$base/limited/mid" "$work/out/mid" "$n" 0
    a=$(( n > 16 ? 16 : n ))
    run "aria2c -x$a -s$a -k1M" $((16 << 20)) aria2c -q -x"$a" -s"$a" -k1M -d "$work/out" -o mid "$base/limited/mid"
    run "axel -n $n" $((16 << 20)) axel -q -n "$n" -o "$work/out/mid" "$base/limited/mid"
done
echo "(c) paced mode (2 MiB; 16 MiB for 120 connections): measured against the cap of connections x 20480 B/s"
for n in 6 20 120; do
    file=small
    [ "$n" -gt 20 ] && file=mid
    out=$(build/mj_dlbench "$base/$file" "$work/out/$file" "$n" 999999999)
    read -r wall written <<<"$out"
    awk -v n="$n" -v w="$wall" -v b="$written" 'BEGIN {
        cap = n * 20480; got = b / w;
        printf "  mijutong %-4d %7.2f s  %8.0f B/s  cap %8d B/s  measured/cap %.2f\n", n, w, got, cap, got / cap }'
done

#!/usr/bin/env bash
# Runs the skin reader's fuzz target for a bounded time (default 30 s), starting from the built-in skins.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build/fuzz
mkdir -p "$out/corpus"
cp build/skins/*.skn "$out/corpus/" 2>/dev/null || true
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
    tests/fuzz/SkinReaderFuzz.cpp platform/skinengine/SkinFormat.cpp -o "$out/skin_reader_fuzz"
"$out/skin_reader_fuzz" -max_total_time="$seconds" -max_len=4096 "$out/corpus" 2>&1 | tail -n 3

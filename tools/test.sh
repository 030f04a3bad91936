#!/usr/bin/env bash
# Builds 觅剧通 and runs every test: the plain build, then the address and undefined-behaviour sanitizers
# over all tests, then the thread sanitizer over the download library and its callbacks; the skin reader's
# fuzz target runs for half a minute.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
jobs=$(nproc)
run_preset() {
    local preset=$1 filter=${2:-}
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j"$jobs"
    ctest --preset "$preset" -j"$jobs" ${filter:+-R "$filter"}
}
run_preset default
tools/fuzz.sh 30
run_preset asan
run_preset tsan 'Download|Update'

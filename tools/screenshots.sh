#!/usr/bin/env bash
# Takes the screenshots under docs/screenshots/ under Xvfb with a tray, then composes the guide picture
# (resources/guide.jpg) from them. Run it again when the windows change, then rebuild.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target mj_shots mj_compose_guide mj_webview
. tools/xvfb-session.sh
mj_start_display
out="$PWD/docs/screenshots"
mkdir -p "$out"
build/mj_shots "$out"
build/mj_compose_guide resources/guide.jpg "$out/guide-main.png" "$out/guide-video-search.png" \
    "$out/guide-movie-search.png" "$out/guide-netdisk-search.png"
rm -f "$out"/guide-*.png
echo "guide picture: resources/guide.jpg (rebuild to embed it)"

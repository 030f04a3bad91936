#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when any is missing.
# MJ_FORCE_APT=1 refreshes the package lists and installs even when everything looks present.
set -euo pipefail
packages=(
    build-essential cmake pkg-config
    qt6-base-dev libgl-dev libcurl4-openssl-dev libjpeg-dev libgtest-dev
    xvfb xauth x11-utils xdotool jwm fonts-noto-cjk xdg-utils
    qt6-webengine-dev python3-pyftpdlib
    nginx-light aria2 axel curl time python3 clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ] && [ "${MJ_FORCE_APT:-0}" != 1 ]; then exit 0; fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${packages[@]}"

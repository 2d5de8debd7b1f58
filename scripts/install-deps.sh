#!/usr/bin/env bash
# Installs the Debian 12 packages Velmora needs to build ("build") or to build
# and run every test ("test"). Idempotent: asks apt only for what is missing.
set -euo pipefail

build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
    libminiupnpc-dev libnatpmp-dev libexpat1-dev libpoco-dev libgtest-dev libgmock-dev)
test_packages=(miniupnpd-nftables miniupnpc nftables iproute2 util-linux procps xvfb xauth x11-utils
    imagemagick clang libclang-rt-14-dev)

wanted=("${build_packages[@]}")
if [ "${1:-build}" = test ]; then
    wanted+=("${test_packages[@]}")
fi

missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian 12 packages Velmora needs to build ("build") or to build
# and run every test ("test"). Idempotent: asks apt only for what is missing,
# and asks for root (through sudo, or tells to run it as root) only then.
set -euo pipefail
# shellcheck source=lib/checkout-owner.sh
. "$(dirname "$0")/lib/checkout-owner.sh"

# "build" is what run.sh and package.sh need (file: CPack's DEB generator;
# qt6-l10n-tools: lrelease compiles the translations; qt6-translations-l10n:
# Qt's own texts, the standard buttons, in the user's language).
build_packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
    libminiupnpc-dev libnatpmp-dev libexpat1-dev libpoco-dev libgtest-dev libgmock-dev file
    qt6-l10n-tools qt6-translations-l10n)
# fonts-wqy-microhei: Chinese letters for the language walk and the pictures.
test_packages=(miniupnpd-nftables miniupnpc nftables iproute2 util-linux procps xvfb xauth x11-utils
    imagemagick clang libclang-rt-14-dev lintian desktop-file-utils appstream librsvg2-bin
    fonts-wqy-microhei)

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

# Only installing asks for root: through sudo where there is one. Without it,
# one command run once as root installs what every script needs.
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        here=$(cd "$(dirname "$0")/.." && pwd)
        echo "Installing needs root (${missing[*]}) and there is no sudo here: in $here run once $VELMORA_ROOT_COMMAND, then this command again." >&2
        exit 1
    fi
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

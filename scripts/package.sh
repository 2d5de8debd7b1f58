#!/usr/bin/env bash
# Builds the Debian package build/velmora_<version>_<arch>.deb (the program,
# its desktop entry, icons, AppStream metainfo, manual page, catalogue and
# default config.xml). With --install it then installs it with apt, through
# sudo where there is one; installing is the only step that needs root.
#   scripts/package.sh [--install]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/checkout-owner.sh
. "$here/scripts/lib/checkout-owner.sh"
refuse_root_in_others_checkout "$here"
"$here/scripts/install-deps.sh" build

# CPack's DEB generator runs these; say which is missing before it fails.
for tool in cmake ninja file dpkg-shlibdeps strip gzip; do
    command -v "$tool" >/dev/null ||
        { echo "package.sh needs $tool, which is not installed: $VELMORA_ROOT_COMMAND installs it" >&2; exit 1; }
done

build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target package | { grep -v '^\[' || true; }
deb=$(ls -t "$build"/velmora_*.deb | head -n 1)
echo "built $deb"

if [ "${1:-}" = --install ]; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y "$deb"
    elif command -v sudo >/dev/null; then
        sudo apt-get install -y "$deb"
    else
        echo "Installing the package needs root and there is no sudo here: run su -c 'apt install $deb'" >&2
        exit 1
    fi
fi

#!/usr/bin/env bash
# Builds the Debian packages build/velmora_<version>_<arch>.deb (the window,
# its desktop entry, icons, AppStream metainfo and manual page) and
# build/velmora-cli_<version>_<arch>.deb (the command line, its manual page,
# the velmora-keep user service, the catalogue and the default config.xml),
# which the first depends on. With --install it then installs both with apt,
# through sudo where there is one; installing is the only step that needs root.
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
cli_deb=$(ls -t "$build"/velmora-cli_*.deb | head -n 1)
echo "built $deb $cli_deb"

if [ "${1:-}" = --install ]; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y "$cli_deb" "$deb"
    elif command -v sudo >/dev/null; then
        sudo apt-get install -y "$cli_deb" "$deb"
    else
        echo "Installing the packages needs root and there is no sudo here: run su -c 'apt install $cli_deb $deb'" >&2
        exit 1
    fi
fi

#!/usr/bin/env bash
# Builds the Debian packages build/velmora_<version>_<arch>.deb (the window,
# its desktop entry, icons, AppStream metainfo and manual page) and
# build/velmora-cli_<version>_<arch>.deb (the command line, its manual page,
# the velmora-keep user service and the catalogue), which the first depends on.
# With --install it then installs both with apt, asking for root (through sudo,
# or telling to run it as root) only for that step.
#   scripts/package.sh [--install]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh" build

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
        echo "Installing the package needs root: run $0 --install as root." >&2
        exit 1
    fi
fi

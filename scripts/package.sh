#!/usr/bin/env bash
# Builds the Debian package build/velmora_<version>_<arch>.deb (the program,
# its desktop entry, icons, AppStream metainfo, manual page and catalogue).
# With --install it then installs it with apt, asking for root (through sudo,
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
echo "built $deb"

if [ "${1:-}" = --install ]; then
    if [ "$(id -u)" -eq 0 ]; then
        apt-get install -y "$deb"
    elif command -v sudo >/dev/null; then
        sudo apt-get install -y "$deb"
    else
        echo "Installing the package needs root: run $0 --install as root." >&2
        exit 1
    fi
fi

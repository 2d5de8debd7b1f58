#!/usr/bin/env bash
# Installs what the build needs, builds Velmora and starts it on the current
# display, as the user who runs it. Never as root: the program belongs to a
# desktop session, and root's files in the checkout would break the owner's
# next build. Only installing packages needs root (install-deps.sh says how).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/checkout-owner.sh
. "$here/scripts/lib/checkout-owner.sh"
if [ "$(id -u)" -eq 0 ]; then
    echo "run.sh starts Velmora in your desktop session: run it as your own user, not as root (only installing packages needs root: $VELMORA_ROOT_COMMAND)" >&2
    exit 1
fi
"$here/scripts/install-deps.sh" build

build="$here/build"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target velmora
exec "$build/bin/velmora"

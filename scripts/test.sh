#!/usr/bin/env bash
# Installs what the tests need, builds everything (the program, the tests, the
# benchmarks, an ASan+UBSan build and a TSan build of the core, the fuzz
# targets) and runs every test through one CTest run, whose summary ends the
# output. Run it as the checkout's owner: everything builds and runs as that
# user, and root is asked for (through sudo) only to install packages and for
# the router-lab tests, which create network namespaces; without sudo those
# are reported as skipped. Root runs it only in a checkout root owns (CI).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/checkout-owner.sh
. "$here/scripts/lib/checkout-owner.sh"
refuse_root_in_others_checkout "$here"
"$here/scripts/install-deps.sh" test

jobs=$(nproc)
configure() { # dir, extra cmake arguments...
    local dir=$1
    shift
    cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON "$@" >/dev/null
}
build() {
    echo "== building $(basename "$1")"
    # Progress lines are dropped; warnings and errors stay, and a failed build
    # fails the script (pipefail).
    cmake --build "$1" -j "$jobs" 2>&1 | { grep -v '^\[' || true; }
}

asan="$here/build-test-asan"
tsan="$here/build-test-tsan"
fuzz="$here/build-test-fuzz"
main="$here/build-test"

configure "$asan" -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_SANITIZE=address,undefined
build "$asan"
configure "$tsan" -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_SANITIZE=thread
build "$tsan"
configure "$fuzz" -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=OFF \
    -DVELMORA_BUILD_FUZZ=ON -DVELMORA_SANITIZE=address,undefined -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
build "$fuzz"
configure "$main" -DVELMORA_ASAN_DIR="$asan" -DVELMORA_TSAN_DIR="$tsan" -DVELMORA_FUZZ_DIR="$fuzz"
build "$main"

cd "$main"
if [ "$(id -u)" -eq 0 ]; then
    # Namespaces left behind by a run that was killed.
    if [ -x "$here/tests/lab/lab.sh" ]; then
        "$here/tests/lab/lab.sh" sweep || true
    fi
    exec ctest --output-on-failure --timeout 900
fi

# As a user: the lab tests with root, through sudo, then the rest as this user.
if command -v sudo >/dev/null; then
    echo "== the router-lab tests need root (network namespaces): asking sudo"
    lab_status=0
    sudo sh -c 'tests=$1; shift; [ -x "$tests/lab/lab.sh" ] && "$tests/lab/lab.sh" sweep >/dev/null 2>&1; exec "$@"' \
        sh "$here/tests" ctest -L lab --output-on-failure --timeout 900 || lab_status=$?
    sudo chown -R "$(id -u):$(id -g)" "$main/Testing"
    ctest -LE lab --output-on-failure --timeout 900 || exit $?
    exit "$lab_status"
fi
echo "== no sudo here: the router-lab tests, which need root for network namespaces, are skipped"
exec ctest --output-on-failure --timeout 900

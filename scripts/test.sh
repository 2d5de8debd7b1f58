#!/usr/bin/env bash
# Installs what the tests need, builds everything (the program, the tests, the
# benchmarks, an ASan+UBSan build and a TSan build of the core, the fuzz
# targets) and runs every test through one CTest run, whose summary ends the
# output. Router-lab tests need root (they create network namespaces); without
# it they are reported as skipped.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
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

# Namespaces left behind by a run that was killed.
if [ "$(id -u)" -eq 0 ] && [ -x "$here/tests/lab/lab.sh" ]; then
    "$here/tests/lab/lab.sh" sweep || true
fi

cd "$main"
exec ctest --output-on-failure --timeout 900

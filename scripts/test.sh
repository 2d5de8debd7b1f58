#!/usr/bin/env bash
# Installs what the tests need, builds three trees and runs every test:
#   build-test       the program, every test, the benchmarks, the package (GCC);
#   build-test-asan  the unit tests (core and widgets) and the fuzz targets under
#                    AddressSanitizer + UndefinedBehaviorSanitizer (clang);
#   build-test-tsan  the unit tests labelled "thread" under ThreadSanitizer.
# The sanitizer trees' suites run as tests of build-test. The router-lab tests
# (one at a time; they mostly wait for routers) start as soon as they are
# built and run while the rest builds at a lower priority; then the other
# tests run in parallel. Both CTest summaries and the total time end the
# output; the script exits non-zero on any failure.
#
# Run it as the checkout's owner: everything builds and runs as that user, and
# root is asked for (through sudo) only to install packages and for the lab
# tests, which create network namespaces; without sudo those are reported as
# skipped. Root runs it only in a checkout root owns (CI).
set -euo pipefail
started=$(date +%s)
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/checkout-owner.sh
. "$here/scripts/lib/checkout-owner.sh"
refuse_root_in_others_checkout "$here"
"$here/scripts/install-deps.sh" test

jobs=$(nproc)
main="$here/build-test"
asan="$here/build-test-asan"
tsan="$here/build-test-tsan"

configure() { # dir, extra cmake arguments...
    local dir=$1
    shift
    cmake -S "$here" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_WERROR=ON "$@" >/dev/null
}
build() { # dir, targets...
    local dir=$1
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    echo "== building $(basename "$dir") ${*:-}"
    # Progress lines are dropped; warnings and errors stay, and a failed build
    # fails the script (pipefail). Once the lab tests run, builds yield to them.
    $nice cmake --build "$dir" -j "$jobs" "${targets[@]}" 2>&1 | { grep -v '^\[' || true; }
}
elapsed() {
    local s=$(($(date +%s) - started))
    printf '%d:%02d' $((s / 60)) $((s % 60))
}

# The sanitizer trees need no optimisation beyond -O1 and only line tables
# for their reports: they build faster so.
light=("-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
configure "$asan" -DVELMORA_TESTS=unit -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_FUZZ=ON \
    -DVELMORA_SANITIZE=address,undefined -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${light[@]}"
configure "$tsan" -DVELMORA_TESTS=thread -DVELMORA_BUILD_BENCH=OFF -DVELMORA_SANITIZE=thread "${light[@]}"
configure "$main" -DVELMORA_ASAN_DIR="$asan" -DVELMORA_TSAN_DIR="$tsan"

# Who runs the lab tests: root itself, root through sudo, or (without sudo)
# this user, for whom they report themselves skipped.
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then
        echo "== the router-lab tests need root (network namespaces): asking sudo"
        sudo -v
        as_root=(sudo)
    else
        echo "== no sudo here: the router-lab tests, which need root for network namespaces, are skipped"
    fi
fi

nice=""
build "$main" velmora_lab_tests
if [ "$(id -u)" -eq 0 ] || [ ${#as_root[@]} -gt 0 ]; then
    # Namespaces left behind by a run that was killed.
    "${as_root[@]}" "$here/tests/lab/lab.sh" sweep >/dev/null 2>&1 || true
fi
lab_log="$main/lab-tests.log"
"${as_root[@]}" ctest --test-dir "$main" -L lab --output-on-failure --timeout 900 >"$lab_log" 2>&1 &
lab_pid=$!
# A failed build ends the script: the lab tests end with it (and take their labs down).
trap 'kill "$lab_pid" 2>/dev/null || true' EXIT
echo "== router-lab tests running ($(elapsed) in; their output follows at the end)"

nice="nice -n 10"
build "$main"
build "$asan"
build "$tsan" velmora_tests
nice=""

echo "== the other tests ($(elapsed) in)"
rest_status=0
ctest --test-dir "$main" -LE lab -j "$jobs" --output-on-failure --timeout 900 || rest_status=$?

lab_status=0
wait "$lab_pid" || lab_status=$?
trap - EXIT
if [ ${#as_root[@]} -gt 0 ]; then
    sudo chown -R "$(id -u):$(id -g)" "$main/Testing" "$lab_log"
fi
echo
echo "== router-lab tests"
cat "$lab_log"
echo
echo "== total $(elapsed) (router-lab tests: exit $lab_status; the other tests: exit $rest_status)"
[ "$lab_status" -eq 0 ] && [ "$rest_status" -eq 0 ]

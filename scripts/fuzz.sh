#!/usr/bin/env bash
# Long fuzz runs, outside CI: builds the libFuzzer targets (clang, ASan+UBSan)
# and runs each for a while against a corpus kept between runs, then prints
# each target's executions and whether it found anything.
#
#   scripts/fuzz.sh [seconds per target]      (default 600; FUZZ_SECONDS also works)
#   FUZZ_TARGETS="fuzz_xcfg fuzz_upnp_soap" scripts/fuzz.sh 60
#
# Crashing inputs are kept under build-fuzz-long/findings/<target>/; each one
# belongs in a regression test (and in the target's seeds).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=lib/checkout-owner.sh
. "$here/scripts/lib/checkout-owner.sh"
refuse_root_in_others_checkout "$here"
seconds=${1:-${FUZZ_SECONDS:-600}}
build="$here/build-fuzz-long"

"$here/scripts/install-deps.sh" test
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_CORE_ONLY=ON -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=OFF \
    -DVELMORA_BUILD_FUZZ=ON -DVELMORA_SANITIZE=address,undefined \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)" 2>&1 | { grep -v '^\[' || true; }

seeds_of() { # target -> its seed folder in the source tree
    case $1 in
        fuzz_xcfg) echo "$here/fuzz/xcfg/corpus" ;;
        fuzz_upnp_*) echo "$here/fuzz/upnp_xml/seeds/${1#fuzz_upnp_}" ;;
    esac
}

targets=${FUZZ_TARGETS:-$(cd "$build" && find fuzz -type f -executable -name 'fuzz_*' -printf '%f\n' | sort)}
summary=()
status=0
for target in $targets; do
    binary=$(find "$build/fuzz" -type f -name "$target" | head -n 1)
    [ -n "$binary" ] || { echo "no such fuzz target: $target" >&2; exit 2; }
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$build/$target.log"
    echo "== $target for ${seconds}s"
    set +e
    "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 \
        -artifact_prefix="$findings/" "$corpus" "$(seeds_of "$target")" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(grep -Eo 'Done [0-9]+ runs' "$log" | grep -Eo '[0-9]+' | tail -n 1)
    found=$(find "$findings" -type f | wc -l)
    [ "$rc" -eq 0 ] || status=1
    summary+=("$target: ${runs:-?} executions, exit $rc, $found finding(s) in $findings")
done
echo
printf '%s\n' "${summary[@]}"
exit $status

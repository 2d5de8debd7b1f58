#!/usr/bin/env bash
# Long fuzz runs, outside CI: builds the libFuzzer targets (clang, ASan+UBSan)
# and runs each for a while against a corpus kept between runs, then prints
# each target's executions and findings.
#
#   scripts/fuzz.sh [seconds per target]      (default 600; FUZZ_SECONDS also works)
#   FUZZ_TARGETS="fuzz_xcfg fuzz_upnp_soap" scripts/fuzz.sh 60
#
# Each run takes inputs up to 64 KiB and counts a slow input (a time-out), a
# huge allocation or too much memory as a finding, like a crash; the limits
# are the build's (fuzz/CMakeLists.txt), the same as in the short CTest runs.
# A run stops at its first finding; its input is kept under
# build-fuzz-long/findings/<target>/ and belongs in a regression test (and
# in the target's seeds).
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

# Lines "target NAME SEEDS" and one "limits ..." line, written by the build.
list="$build/fuzz/fuzz_targets.txt"
read -r -a limits <<<"$(sed -n 's/^limits //p' "$list")"
seeds_of() { awk -v t="$1" '$1 == "target" && $2 == t { print $3 }' "$list"; }

targets=${FUZZ_TARGETS:-$(awk '$1 == "target" { print $2 }' "$list")}
summary=()
status=0
for target in $targets; do
    binary=$(find "$build/fuzz" -type f -executable -name "$target" | head -n 1)
    seeds=$(seeds_of "$target")
    [ -n "$binary" ] && [ -n "$seeds" ] || { echo "no such fuzz target: $target" >&2; exit 2; }
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    log="$build/$target.log"
    echo "== $target for ${seconds}s (${limits[*]})"
    before=$(find "$findings" -type f | wc -l)
    set +e
    "$binary" -max_total_time="$seconds" "${limits[@]}" -close_fd_mask=1 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" "$seeds" >"$log" 2>&1
    rc=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=$(($(find "$findings" -type f | wc -l) - before))
    kind=$(grep -Eo 'ERROR: libFuzzer: [a-z-]+|ERROR: [A-Za-z]+Sanitizer: [a-z-]+|runtime error' "$log" |
        head -n 1 || true)
    [ "$rc" -eq 0 ] && [ "$found" -eq 0 ] || status=1
    summary+=("$(printf '%-26s %12s executions  %d finding(s)%s  (exit %d, log %s)' "$target" \
        "${runs:-?}" "$found" "${kind:+: $kind}" "$rc" "$log")")
done
echo
printf '%s\n' "${summary[@]}"
exit $status

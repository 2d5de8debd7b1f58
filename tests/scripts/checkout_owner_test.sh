#!/usr/bin/env bash
# Root never builds in a checkout that another user owns, and run.sh never
# starts the program as root: each refuses in one line, before anything is
# made. Needs root (exit 77 otherwise).
#   checkout_owner_test.sh SOURCE_DIR
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "needs root: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$work/checkout"
cp -r "$1/scripts" "$work/checkout/"
chown -R nobody: "$work/checkout"
for script in run.sh test.sh package.sh fuzz.sh; do
    rc=0
    "$work/checkout/scripts/$script" >"$work/out" 2>&1 </dev/null || rc=$?
    [ "$rc" -eq 1 ] || fail "$script as root in nobody's checkout: exit $rc"
    [ "$(wc -l <"$work/out")" -eq 1 ] || fail "$script said more than one line: $(cat "$work/out")"
    grep -q "su -c 'scripts/install-deps.sh test'" "$work/out" || fail "$script: $(cat "$work/out")"
    [ "$(find "$work/checkout" -user root | wc -l)" -eq 0 ] || fail "$script left root's files"
done
chown -R root: "$work/checkout"
rc=0
"$work/checkout/scripts/run.sh" >"$work/out" 2>&1 </dev/null || rc=$?
[ "$rc" -eq 1 ] && grep -q "not as root" "$work/out" || fail "run.sh started as root: $(cat "$work/out")"
echo "root: refused in one line in another user's checkout; run.sh never as root"

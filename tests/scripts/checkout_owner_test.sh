#!/usr/bin/env bash
# As root in another user's checkout every building script refuses in one line
# naming the one root command, before making anything; run.sh never runs as
# root. Needs root (77: skipped). Each runs in an empty network namespace, so a
# script that failed to refuse could reach no network.   checkout_owner_test.sh SOURCE_DIR
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "needs root: skipped"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$1/scripts" "$work/" && chown -R nobody: "$work"
for script in run.sh test.sh package.sh fuzz.sh root:run.sh; do
    [ "${script%%:*}" != root ] || chown -R root: "$work"
    rc=0 && unshare -n timeout 60 "$work/scripts/${script#root:}" >"$work/out" 2>&1 </dev/null || rc=$?
    [ "$rc" -eq 1 ] && [ "$(wc -l <"$work/out")" -eq 1 ] && [ -z "$(find "$work" -name "build*")" ] &&
        grep -q "su -c 'scripts/install-deps.sh test'" "$work/out" ||
        { echo "FAIL: $script as root: exit $rc: $(cat "$work/out")" >&2; exit 1; }
done
echo "root: refused in one line"

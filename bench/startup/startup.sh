#!/usr/bin/env bash
# Start-up benchmark: time from launch to the main window shown under Xvfb,
# and resident memory once idle, median of several runs, for Velmora and for a
# bare Qt window (the peer) measured the same way in the same run.
# Velmora searches the network at start-up, so everything runs inside a
# router lab namespace. Needs root.
#   bench/startup/startup.sh [RUNS]      (from the build tree: build-test/bench/startup/)
set -euo pipefail
runs=${1:-5}
build=$(cd "$(dirname "$0")/../.." && pwd)
source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
lab="$source_dir/tests/lab/lab.sh"
velmora="$build/bin/velmora"
peer="$build/bench/startup/startup_peer"
[ "$(id -u)" = 0 ] || { echo "startup benchmark needs root (router lab)"; exit 77; }
for tool in Xvfb xwininfo; do
    command -v $tool >/dev/null || { echo "needs $tool"; exit 77; }
done

prefix="vb$$"
work=$(mktemp -d)
display=":$((200 + $$ % 300))"
cleanup() {
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    LAB_QUIET=1 "$lab" down "$prefix" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
LAB_QUIET=1 "$lab" up "$prefix" --mode both >"$work/lab.log" 2>&1 || {
    echo "startup benchmark: the router lab did not come up:"; cat "$work/lab.log"; exit 1; }
"$lab" exec "$prefix" lan -- Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xwininfo -display "$display" -root >/dev/null 2>&1 && break; sleep 0.05; done
xwininfo -display "$display" -root >/dev/null 2>&1 || { echo "startup benchmark: Xvfb on $display did not start"; exit 1; }

# The program folder as an installer leaves it, with a valid config.xml.
mkdir -p "$work/app/log"
cp "$velmora" "$work/app/"
printf '<?xml version="1.0" encoding="ISO-8859-1"?>\r\n<mappings auto_startup="0" monitor_router="0" >\r\n<triggerings>\r\n</triggerings>\r\n<forwardings>\r\n</forwardings>\r\n</mappings>\r\n' >"$work/app/config.xml"

now_ms() { date +%s%3N; }
# Launches a program in the LAN namespace; prints "<ms to window shown> <idle RSS KiB>".
measure() { # program, window title
    local start pid shown rss
    start=$(now_ms)
    DISPLAY=$display XDG_RUNTIME_DIR=$work exec ip netns exec "$prefix-lan" "$1" >/dev/null 2>"$work/last.err" &
    pid=$!
    shown=""
    for _ in $(seq 2000); do # at most ~20 s
        if xwininfo -display "$display" -name "$2" 2>/dev/null | grep -q IsViewable; then
            shown=$(($(now_ms) - start))
            break
        fi
        sleep 0.005
    done
    sleep 3 # idle
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    if ! kill -0 "$pid" 2>/dev/null; then # it ended by itself: say why, count the run as lost
        echo "startup benchmark: $2 ended early: $(tail -n 3 "$work/last.err" | tr '\n' ' ')" >&2
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "${shown:-NaN} ${rss:-0}"
}
median() { grep -v NaN | sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

declare -a v_ms v_rss p_ms p_rss
for i in $(seq "$runs"); do
    read -r ms rss < <(measure "$work/app/velmora" Velmora); v_ms+=("$ms"); v_rss+=("$rss")
    read -r ms rss < <(measure "$peer" Peer); p_ms+=("$ms"); p_rss+=("$rss")
done
vm=$(printf '%s\n' "${v_ms[@]}" | median); vr=$(printf '%s\n' "${v_rss[@]}" | median)
pm=$(printf '%s\n' "${p_ms[@]}" | median); pr=$(printf '%s\n' "${p_rss[@]}" | median)
echo "runs: $runs (medians)"
echo "velmora: launch to window shown ${vm} ms, idle RSS ${vr} KiB   (all: ${v_ms[*]} ms)"
echo "peer:    launch to window shown ${pm} ms, idle RSS ${pr} KiB   (all: ${p_ms[*]} ms)"
awk -v a="$vm" -v b="$pm" -v c="$vr" -v d="$pr" \
    'BEGIN {printf "ratio velmora/peer: time %.2fx, memory %.2fx\n", a/b, c/d}'

#!/usr/bin/env bash
# Takes the README's screenshot: Velmora under Xvfb inside a router lab (it
# searches the network at start-up, so it never runs in the machine's own
# namespace here), with a few sample entries. Needs root and a built tree.
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-test}
output=${2:-$here/docs/velmora.png}
lab="$here/tests/lab/lab.sh"
prefix="vs$$"
work=$(mktemp -d)
display=":$((190 + $$ % 100))"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    LAB_QUIET=1 "$lab" down "$prefix" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

LAB_QUIET=1 "$lab" up "$prefix" --mode both >/dev/null
ip netns exec "$prefix-lan" Xvfb "$display" -screen 0 900x500x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

mkdir -p "$work/app/log"
cp "$build/bin/velmora" "$work/app/"
cat >"$work/app/config.xml" <<'XML'
<?xml version="1.0" encoding="ISO-8859-1"?>
<mappings auto_startup="0" monitor_router="0" >
<triggerings>
<trigger name="Game lobby" auto_start="N" protocol="TCP and UDP" trigger_address="11.22.33.100" trigger_port="6000" trigger_port_end="6002" frequence="1000" >
</trigger>
<trigger name="Voice chat" auto_start="N" protocol="UDP" trigger_address="11.22.33.100" trigger_port="9987" trigger_port_end="9987" frequence="5000" >
</trigger>
</triggerings>
<forwardings>
<forwarding name="Web server" protocol="TCP" listen_port="80,443-447,8080" destination_ip="192.168.77.2" type="N" >
</forwarding>
</forwardings>
</mappings>
XML
sed -i 's/$/\r/' "$work/app/config.xml"
DISPLAY=$display XDG_RUNTIME_DIR=$work ip netns exec "$prefix-lan" "$work/app/velmora" >/dev/null 2>&1 &
app=$!
sleep 6 # start-up and the router scan
window=$(xwininfo -display "$display" -name Velmora | awk '/Window id:/ {print $4}')
DISPLAY=$display import -window "$window" "$output"
echo "wrote $output"

#!/usr/bin/env bash
# Takes the README's pictures: every window and dialog of Velmora, inside a
# router lab (the program searches the network at start-up, so it never runs
# in the machine's own namespace here), with a few sample entries; in English
# into OUTPUT_DIR, then in each translation into OUTPUT_DIR/<language>/. Needs
# root and a built tree (the window_pictures and velmora_translations targets).
#   scripts/screenshot.sh [BUILD_DIR] [OUTPUT_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-test}
output=${2:-$here/docs/screens}
lab="$here/tests/lab/lab.sh"
pictures="$build/tests/screens/window_pictures"
prefix="vs$$"
work=$(mktemp -d)
cleanup() {
    LAB_QUIET=1 "$lab" down "$prefix" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

[ "$(id -u)" -eq 0 ] || { echo "$0 needs root: it makes a router lab" >&2; exit 1; }
[ -x "$pictures" ] || { echo "build the window_pictures target in $build first" >&2; exit 1; }
translations="$build/bin/translations"
[ -d "$translations" ] || { echo "build the velmora_translations target in $build first" >&2; exit 1; }

LAB_QUIET=1 "$lab" up "$prefix" --mode both >/dev/null

mkdir -p "$work/app/log" "$work/runtime"
chmod 700 "$work/runtime"
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
cp "$work/app/config.xml" "$work/config.xml"
cp "$here/catalogue/ports_list.txt" "$work/app/"
cp -r "$translations" "$work/app/"

# A mapping in the lab router, so its ports list has a row to show.
ip netns exec "$prefix-lan" upnpc -e "Web server" -a 192.168.77.2 80 80 TCP >/dev/null 2>&1 || true

# English, then each language with a translation.
for language in C $(cd "$translations" && ls velmora_*.qm | sed 's/^velmora_//; s/\.qm$//'); do
    folder="$output"
    [ "$language" = C ] || folder="$output/$language"
    cp "$work/config.xml" "$work/app/config.xml" # the sample, whatever the last run saved
    env -i PATH=/usr/bin:/bin HOME="$work" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
        LANG="$language.UTF-8" ip netns exec "$prefix-lan" "$pictures" "$work/app" "$folder"
done

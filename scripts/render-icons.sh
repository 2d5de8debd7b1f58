#!/usr/bin/env bash
# Renders the committed PNG forms of the icons from their SVG drawings
# (resources/icons/*.svg): the hicolor sizes of the program's icon, which the
# package installs and the program carries, and the tray icon's sizes.
# Needs rsvg-convert (librsvg2-bin). Run it after changing a drawing.
set -euo pipefail
icons=$(cd "$(dirname "$0")/../resources/icons" && pwd)
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "$icons/hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "$icons/velmora.svg" -o "$icons/hicolor/${size}x${size}/apps/velmora.png"
done
mkdir -p "$icons/tray"
for size in 16 22 32 44 64; do
    rsvg-convert -w "$size" -h "$size" "$icons/velmora-tray.svg" -o "$icons/tray/velmora-tray-$size.png"
done

#!/usr/bin/env bash
# Refreshes translations/velmora.ts from the texts the program passes through
# tr() (and QT_TRANSLATE_NOOP) in its Qt code. Needs lupdate (qt6-l10n-tools,
# which scripts/install-deps.sh test installs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[ -x "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools" >&2; exit 1; }
mkdir -p "$here/translations"
cd "$here"
"$lupdate" -silent -locations relative -no-obsolete -extensions cpp,h \
    app catalogue forwarding platform router triggering upnp \
    -ts translations/velmora.ts
echo "wrote translations/velmora.ts ($(grep -c '<source>' translations/velmora.ts) texts)"

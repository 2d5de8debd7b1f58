#!/usr/bin/env bash
# Refreshes every translations/velmora_<language>.ts from the texts the
# program passes through tr() and QT_TRANSLATE_NOOP (the core's English
# templates among them): new texts come in unfinished, texts no longer used
# go. With language codes (scripts/update-translations.sh fr pt_BR) it starts
# those languages' files as well. Needs lupdate (qt6-l10n-tools, which
# scripts/install-deps.sh installs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[ -x "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools" >&2; exit 1; }
cd "$here"
shopt -s nullglob
files=(translations/velmora_*.ts)
for language in "$@"; do
    [[ "$language" =~ ^[a-z]{2,3}(_[A-Z]{2})?$ ]] || { echo "not a language code: $language" >&2; exit 1; }
    file="translations/velmora_$language.ts"
    [[ " ${files[*]} " == *" $file "* ]] || files+=("$file")
done
[ ${#files[@]} -gt 0 ] || { echo "no translations/velmora_*.ts yet: name a language" >&2; exit 1; }
"$lupdate" -silent -locations none -no-obsolete -extensions cpp,h \
    -I . app catalogue config forwarding platform router triggering upnp \
    -ts "${files[@]}"
for file in "${files[@]}"; do
    echo "$file: $(grep -c '<source>' "$file") texts, $(grep -c 'type="unfinished"' "$file") unfinished"
done

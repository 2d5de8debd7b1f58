#!/usr/bin/env bash
# Refreshes every translations/velmora_<language>.ts from the texts the
# program passes through tr() and QT_TRANSLATE_NOOP (the core's English
# templates among them): new texts come in unfinished, texts no longer used
# go. With language codes (scripts/update-translations.sh fr pt_BR) it starts
# those languages' files as well. With --check it changes nothing and fails
# when a file is not current or holds an unfinished text (a test runs that).
# Needs lupdate (qt6-l10n-tools, which scripts/install-deps.sh installs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
[ -x "$lupdate" ] || { echo "lupdate not found: install qt6-l10n-tools" >&2; exit 1; }
cd "$here"
shopt -s nullglob
check=no
files=(translations/velmora_*.ts)
for argument in "$@"; do
    if [ "$argument" = --check ]; then
        check=yes
        continue
    fi
    [[ "$argument" =~ ^[a-z]{2,3}(_[A-Z]{2})?$ ]] || { echo "not a language code: $argument" >&2; exit 1; }
    file="translations/velmora_$argument.ts"
    [[ " ${files[*]} " == *" $file "* ]] || files+=("$file")
done
[ ${#files[@]} -gt 0 ] || { echo "no translations/velmora_*.ts yet: name a language" >&2; exit 1; }

targets=("${files[@]}")
if [ $check = yes ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "${files[@]}" "$work/"
    targets=("$work"/velmora_*.ts)
fi
"$lupdate" -silent -locations none -no-obsolete -extensions cpp,h \
    -I . app catalogue config forwarding platform router triggering upnp \
    -ts "${targets[@]}"

status=0
for file in "${files[@]}"; do
    refreshed=$file
    [ $check = no ] || refreshed="$work/$(basename "$file")"
    unfinished=$(grep -c 'type="unfinished"' "$refreshed" || true)
    echo "$file: $(grep -c '<source>' "$refreshed") texts, $unfinished unfinished"
    if [ $check = yes ]; then
        if ! diff -q "$file" "$refreshed" >/dev/null; then
            echo "$file is not current: run scripts/update-translations.sh and translate" >&2
            diff -u "$file" "$refreshed" | head -40 >&2
            status=1
        fi
        [ "$unfinished" -eq 0 ] || status=1
    fi
done
exit $status

#!/usr/bin/env bash
# Starts the program once per translation, its language named by LANG,
# offscreen, inside an empty network namespace, and checks that it loaded its
# own catalogue and Qt's (a loaded catalogue is mapped into the process). A
# program with translations/ beside it runs as a portable copy in a temporary
# folder; any other as installed, its catalogues in ../share/velmora/translations.
# Exit 77 (skipped) where no network namespace can be made.
#   language_start_test.sh PROGRAM
set -euo pipefail
program=$1
work=$(mktemp -d)
app=""
trap '[ -z "$app" ] || kill -KILL "$app" 2>/dev/null; rm -rf "$work"' EXIT
netns=(unshare -n)
[ "$(id -u)" -eq 0 ] || netns=(unshare -r -n)
"${netns[@]}" true 2>/dev/null || { echo "no network namespace can be made here: skipped"; exit 77; }

mkdir -p "$work/app/log" "$work/runtime" && chmod 700 "$work/runtime"
catalogues="$(dirname "$program")/../share/velmora/translations"
if [ -d "$(dirname "$program")/translations" ]; then
    cp -r "$program" "$(dirname "$program")/translations" "$work/app/"
    program="$work/app/velmora"
    catalogues="$work/app/translations"
fi
for qm in "$catalogues"/velmora_*.qm; do
    language=$(basename "$qm" .qm) && language=${language#velmora_}
    locale=$language
    [[ $locale == *_* ]] || locale="${language}_${language^^}" # de: de_DE
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen LANG="$locale.UTF-8" "${netns[@]}" "$program" \
        >"$work/program.out" 2>&1 &
    app=$!
    loaded=no
    for _ in $(seq 1 100); do
        maps=$(cat "/proc/$app/maps" 2>/dev/null) || break
        if grep -q "$(realpath "$qm")" <<<"$maps" && grep -q "qtbase_$language.qm" <<<"$maps"; then
            loaded=yes && break
        fi
        sleep 0.1
    done
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" || true
    app=""
    [ $loaded = yes ] || { cat "$work/program.out"; echo "FAIL: LANG=$locale.UTF-8: $qm, qtbase_$language.qm not loaded" >&2; exit 1; }
    echo "LANG=$locale.UTF-8: $qm and qtbase_$language.qm loaded"
done

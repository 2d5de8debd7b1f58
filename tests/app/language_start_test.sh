#!/usr/bin/env bash
# Starts a portable copy of the program (the executable and the translations/
# folder beside it, copied into a temporary folder) once per translation, its
# language named by LANG, offscreen, inside an empty network namespace, and
# checks that it loaded its own catalogue from beside the executable and Qt's
# own (a loaded catalogue is mapped into the process). Exit 77 (skipped)
# where no network namespace can be made.
#   language_start_test.sh PROGRAM
set -euo pipefail
work=$(mktemp -d)
app=""
trap '[ -z "$app" ] || kill -KILL "$app" 2>/dev/null; rm -rf "$work"' EXIT
netns=(unshare -n)
[ "$(id -u)" -eq 0 ] || netns=(unshare -r -n)
"${netns[@]}" true 2>/dev/null || { echo "no network namespace can be made here: skipped"; exit 77; }

mkdir -p "$work/app/log" "$work/runtime" && chmod 700 "$work/runtime"
cp -r "$1" "$(dirname "$1")/translations" "$work/app/"
for qm in "$work"/app/translations/velmora_*.qm; do
    language=$(basename "$qm" .qm) && language=${language#velmora_}
    locale=$language
    [[ $locale == *_* ]] || locale="${language}_${language^^}" # de: de_DE
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen LANG="$locale.UTF-8" "${netns[@]}" "$work/app/velmora" \
        >"$work/program.out" 2>&1 &
    app=$!
    loaded=no
    for _ in $(seq 1 100); do
        maps=$(cat "/proc/$app/maps" 2>/dev/null) || break
        if grep -q "$qm" <<<"$maps" && grep -q "qtbase_$language.qm" <<<"$maps"; then
            loaded=yes && break
        fi
        sleep 0.1
    done
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" || true
    app=""
    [ $loaded = yes ] || { cat "$work/program.out"; echo "FAIL: LANG=$locale.UTF-8: $qm, qtbase_$language.qm not loaded" >&2; exit 1; }
    echo "LANG=$locale.UTF-8: $(basename "$qm") (beside the program) and qtbase_$language.qm loaded"
done

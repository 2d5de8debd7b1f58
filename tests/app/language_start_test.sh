#!/usr/bin/env bash
# Starts a portable copy of the program (the executable and the translations/
# folder beside it, copied into a temporary folder) once per translation, its
# language named by LANG, offscreen, inside an empty network namespace, and checks that
# it took its own translation from beside the executable and Qt's own from
# Qt's translations (a loaded catalogue is mapped into the process). Exit 77
# (skipped) where no network namespace can be made.
#   language_start_test.sh PROGRAM
set -euo pipefail
program=$1
work=$(mktemp -d)
app=""
cleanup() {
    if [ -n "$app" ]; then kill -KILL "$app" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

netns=(unshare -n)
[ "$(id -u)" -eq 0 ] || netns=(unshare -r -n)
"${netns[@]}" true 2>/dev/null || { echo "no network namespace can be made here: skipped"; exit 77; }

mkdir -p "$work/app/log" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/app/"
cp -r "$(dirname "$program")/translations" "$work/app/"
for qm in "$work"/app/translations/velmora_*.qm; do
    language=$(basename "$qm" .qm)
    language=${language#velmora_}
    locale=$language
    [[ $locale == *_* ]] || locale="${language}_${language^^}" # de: de_DE
    env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen LANG="$locale.UTF-8" "${netns[@]}" "$work/app/velmora" \
        >"$work/program.out" 2>&1 &
    app=$!
    loaded=no
    for _ in $(seq 1 100); do
        maps=$(cat "/proc/$app/maps" 2>/dev/null) || break
        if grep -q "$work/app/translations/velmora_$language.qm" <<<"$maps" &&
            grep -q "qtbase_$language.qm" <<<"$maps"; then
            loaded=yes
            break
        fi
        sleep 0.1
    done
    kill -TERM "$app" 2>/dev/null || true
    wait "$app" || true
    app=""
    if [ $loaded != yes ]; then
        cat "$work/program.out"
        echo "FAIL: LANG=$locale.UTF-8 did not load velmora_$language.qm and qtbase_$language.qm" >&2
        exit 1
    fi
    echo "LANG=$locale.UTF-8: velmora_$language.qm (beside the program) and qtbase_$language.qm loaded"
done

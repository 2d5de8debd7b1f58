#!/usr/bin/env bash
# Builds the Debian packages from a built tree (velmora, the window, and
# velmora-cli, the command line it depends on), checks what is in them, runs
# the desktop-entry, AppStream and lintian checks on them, then unpacks both
# into a temporary root (they are never installed) and starts the programs
# from there, with a temporary HOME, inside an empty network namespace of
# their own, so that their search reaches no network at all. The window
# (offscreen) must keep its files in the user's base folders and start from
# the shipped catalogue and default config.xml (copied once, never over a
# user's file); velmora-cli, with no Qt among its package's dependencies, runs
# --help and reads the entries of the user's config.xml.
# Exit 77 (skipped) where a user cannot make a network namespace; as root that
# is a failure.
#   package_test.sh CPACK BUILD_DIR SOURCE_DIR
set -euo pipefail
cpack=$1
build=$2
source=$3
work=$(mktemp -d)
app=""
cleanup() {
    if [ -n "$app" ]; then kill -KILL "$app" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

netns=(unshare -n)
[ "$(id -u)" -eq 0 ] || netns=(unshare -r -n)
if ! "${netns[@]}" true 2>/dev/null; then
    [ "$(id -u)" -eq 0 ] && fail "root cannot make a network namespace here"
    echo "no network namespace can be made here: skipped"
    exit 77
fi

# The packages.
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/out/velmora_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one velmora_*.deb, got: ${debs[*]}"
deb=${debs[0]}
clis=("$work"/out/velmora-cli_*.deb)
[ ${#clis[@]} -eq 1 ] && [ -f "${clis[0]}" ] || fail "expected one velmora-cli_*.deb, got: ${clis[*]}"
cli_deb=${clis[0]}
echo "built $(basename "$deb") $(basename "$cli_deb")"
[ "$(dpkg-deb -f "$deb" Package)" = velmora ] || fail "package name"
[ "$(dpkg-deb -f "$cli_deb" Package)" = velmora-cli ] || fail "command line package name"
depends=$(dpkg-deb -f "$deb" Depends)
for library in "velmora-cli (= $(dpkg-deb -f "$deb" Version))" libqt6widgets6 libminiupnpc17 \
    libnatpmp1 libexpat1 qt6-qpa-plugins qt6-translations-l10n; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
cli_depends=$(dpkg-deb -f "$cli_deb" Depends)
for library in libminiupnpc17 libnatpmp1 libexpat1; do
    [[ $cli_depends == *"$library"* ]] || fail "velmora-cli Depends lacks $library: $cli_depends"
done
if grep -qi 'qt' <<<"$cli_depends"; then fail "velmora-cli depends on Qt: $cli_depends"; fi

root="$work/root"
dpkg-deb -x "$cli_deb" "$root"
for file in usr/bin/velmora-cli usr/share/man/man1/velmora-cli.1.gz \
    usr/lib/systemd/user/velmora-keep.service usr/share/doc/velmora-cli/copyright \
    usr/share/doc/velmora-cli/changelog.gz; do
    [ -f "$root/$file" ] || fail "velmora-cli lacks /$file"
done
if ldd "$root/usr/bin/velmora-cli" | grep -i 'qt'; then fail "velmora-cli links Qt"; fi
grep -qx 'ExecStart=/usr/bin/velmora-cli keep' "$root/usr/lib/systemd/user/velmora-keep.service" ||
    fail "velmora-keep.service does not run velmora-cli keep"
dpkg-deb -x "$deb" "$root"
metainfo=usr/share/metainfo/example.velmora.Velmora.metainfo.xml
for file in usr/bin/velmora usr/share/applications/velmora.desktop \
    usr/share/icons/hicolor/scalable/apps/velmora.svg "$metainfo" \
    usr/share/man/man1/velmora.1.gz usr/share/doc/velmora/copyright usr/share/doc/velmora/changelog.gz \
    usr/share/velmora/translations/velmora_de.qm usr/share/velmora/translations/velmora_zh_CN.qm; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
done
[ -x "$root/usr/bin/velmora" ] || fail "/usr/bin/velmora is not executable"
for size in 16 22 24 32 48 64 128 256; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/velmora.png"
    file "$png" | grep -q "PNG image data, $size x $size" || fail "icon $png: $(file "$png")"
done
desktop=$root/usr/share/applications/velmora.desktop
for line in "Name=Velmora" "Icon=velmora" "Categories=Network;Qt;" "Exec=velmora"; do
    grep -qx "$line" "$desktop" || fail "velmora.desktop lacks $line"
done
grep -q '^Comment=.' "$desktop" || fail "velmora.desktop has no Comment"
shipped="$root/usr/share/velmora/ports_list.txt"
if [ -f "$source/catalogue/ports_list.txt" ]; then
    cmp -s "$source/catalogue/ports_list.txt" "$shipped" || fail "the packages lack the catalogue"
fi
[ -d "$root/usr/share/velmora" ] || fail "the packages lack /usr/share/velmora"
default_config="$root/usr/share/velmora/config.xml"
cmp -s "$source/config/config.xml" "$default_config" || fail "the packages lack the default config.xml"

# The checks of the desktop's own tools.
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/$metainfo" || fail "appstreamcli validate"
lintian_rc=0
lintian_out=$(lintian --no-cfg --fail-on error "$deb" "$cli_deb" 2>&1) || lintian_rc=$?
grep -v 'running with root privileges' <<<"$lintian_out" | sed 's/^/lintian: /' || true
[ "$lintian_rc" -eq 0 ] || fail "lintian reports errors"

# Runs the unpacked program until its log exists, then asks it to end the way
# a session's log-out does; it saves config.xml on the way out.
run_program() { # home, extra environment...
    local home=$1
    shift
    mkdir -p "$home" "$work/runtime"
    chmod 700 "$work/runtime"
    local runtime=(XDG_RUNTIME_DIR="$work/runtime")
    [ -z "${NO_RUNTIME:-}" ] || runtime=()
    env -i PATH=/usr/bin:/bin HOME="$home" "${runtime[@]}" \
        QT_QPA_PLATFORM=offscreen "$@" "${netns[@]}" "$root/usr/bin/velmora" \
        >"$work/program.out" 2>&1 &
    app=$!
    for _ in $(seq 1 200); do
        [ -f "$LOG_EXPECTED" ] && break
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    [ -f "$LOG_EXPECTED" ] || { cat "$work/program.out"; fail "no log at $LOG_EXPECTED"; }
    sleep 0.5 # the start-up steps after the log
    kill -TERM "$app"
    for _ in $(seq 1 200); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$app" 2>/dev/null; then
        cat "$work/program.out"
        fail "the program did not end within 20 s of SIGTERM"
    fi
    wait "$app" || true
    app=""
}

# A new user with the base folders' defaults, in a session without
# XDG_RUNTIME_DIR (su, sudo): nothing to warn about.
home="$work/home"
mkdir -p "$work/tmp"
LOG_EXPECTED="$home/.local/state/velmora/log/velmora.log"
NO_RUNTIME=1 run_program "$home" TMPDIR="$work/tmp"
config="$home/.config/velmora/config.xml"
[ -f "$config" ] || { cat "$work/program.out"; fail "no $config"; }
cmp -s "$default_config" "$config" || fail "the first start did not start from the default: $(cat "$config")"
! grep -q XDG_RUNTIME_DIR "$work/program.out" || fail "start-up noise: $(cat "$work/program.out")"
[ "$(stat -c %a "$work/tmp/velmora-$(id -u)")" = 700 ] || fail "no private runtime folder"
if [ -f "$shipped" ]; then
    cmp -s "$shipped" "$home/.local/share/velmora/ports_list.txt" ||
        fail "the user's catalogue is not the shipped one"
fi
leftovers=$(find "$root" -newer "$deb" -type f | grep -v '/usr/bin/velmora\(-cli\)\?$' || true)
[ -z "$leftovers" ] || fail "the program wrote into its installed folders: $leftovers"
echo "defaults: config, log and catalogue in the base folders"

# The default is copied once: a config.xml that went missing later is not
# replaced by it (the program says the file is invalid, and Exit writes what
# it has: empty settings).
rm "$config" "$LOG_EXPECTED"
run_program "$home"
grep -q '<mappings auto_startup="" monitor_router="" >' "$config" || fail "config.xml: $(cat "$config")"
echo "default config.xml: copied on the first start only"

# Base folders named by the environment; the user's own catalogue stays theirs.
# The user's config.xml there has an entry and plain line ends: the program
# must read it (the entry stays) and save it again (its own CRLF line ends).
custom="$work/custom"
mkdir -p "$custom/data/velmora"
printf 'Mine|1| \n' >"$custom/data/velmora/ports_list.txt"
mkdir -p "$custom/config/velmora"
entry='<forwarding name="Kept" protocol="TCP" listen_port="8080" destination_ip="192.0.2.7" type="N" >'
sed -e 's/\r$//' -e 's/monitor_router="[01]*"/monitor_router="0"/' \
    -e "s|^<forwardings>\$|&\n$entry\n</forwarding>|" "$default_config" >"$custom/config/velmora/config.xml"
grep -q 'name="Kept"' "$custom/config/velmora/config.xml" || fail "could not write the user's config.xml"
LOG_EXPECTED="$custom/state/velmora/log/velmora.log"
run_program "$work/home2" XDG_CONFIG_HOME="$custom/config" XDG_STATE_HOME="$custom/state" \
    XDG_DATA_HOME="$custom/data"
saved="$custom/config/velmora/config.xml"
grep -q 'monitor_router="0"' "$saved" && grep -q "name=\"Kept\" protocol=\"TCP\" listen_port=\"8080\"" "$saved" ||
    fail "the user's config.xml under XDG_CONFIG_HOME was not read, or replaced: $(cat "$saved")"
grep -q $'^<mappings .*\r$' "$saved" || fail "config.xml under XDG_CONFIG_HOME was not saved again"
[ "$(cat "$custom/data/velmora/ports_list.txt")" = "Mine|1| " ] || fail "the user's catalogue was replaced"
[ ! -e "$work/home2/.config/velmora" ] || fail "XDG_CONFIG_HOME was not followed"
echo "XDG variables: followed; the user's catalogue and config.xml kept"

# The command line from the same root: its help, and the entries of the
# config.xml the window has just read and saved under XDG_CONFIG_HOME.
run_cli() { # arguments...
    env -i PATH=/usr/bin:/bin HOME="$work/home3" XDG_CONFIG_HOME="$custom/config" "${netns[@]}" \
        "$root/usr/bin/velmora-cli" "$@"
}
run_cli --help >"$work/cli.out" 2>&1 || { cat "$work/cli.out"; fail "velmora-cli --help"; }
grep -q '^Usage: velmora-cli COMMAND' "$work/cli.out" || fail "velmora-cli --help: $(cat "$work/cli.out")"
run_cli entries >"$work/cli.out" 2>"$work/cli.err" ||
    { cat "$work/cli.out" "$work/cli.err"; fail "velmora-cli entries"; }
grep -qx 'Kept  TCP       8080  192.0.2.7    N' "$work/cli.out" ||
    fail "velmora-cli entries: $(cat "$work/cli.out")"
[ ! -s "$work/cli.err" ] || fail "velmora-cli entries wrote to stderr: $(cat "$work/cli.err")"
leftovers=$(find "$root" -newer "$deb" -type f | grep -v '/usr/bin/velmora\(-cli\)\?$' || true)
[ -z "$leftovers" ] || fail "velmora-cli wrote into its installed folders: $leftovers"
echo "velmora-cli: --help, and the entries of the window's config.xml"

# The desktop's language: the package's translation and Qt's own.
"$source/tests/app/language_start_test.sh" "$root/usr/bin/velmora"

#!/bin/bash
# Router lab: isolated network namespaces standing in for a home network.
#
#   PREFIX-lan     "the computer"   eth0 192.168.77.2/24, default route via the router
#                                   (eth1 192.168.78.2/24 with --second-lan)
#   PREFIX-router  the home router  lan0 192.168.77.1/24 (lan1 192.168.78.1/24),
#                                   wan0 11.22.33.1/24, masquerade, miniupnpd
#   PREFIX-inet    a remote host    eth0 11.22.33.100/24
#
# With --ipv6 the lab also carries IPv6 from the documentation prefix: the
# computer 2001:db8:77::2/64 on the LAN (default route via the router's
# fe80::1), the router 2001:db8:77::1 and 2001:db8:33::1 (WAN), the remote
# host 2001:db8:33::100, which routes the
# LAN's /64 to the router. The router forwards IPv6 without NAT through the
# same stateful forward chain, and miniupnpd opens pinholes (UPnP IGD:2
# WANIPv6FirewallControl with --igd2, PCP always) in its chain.
#
# Every veth is created inside the namespaces, so no interface of the lab ever
# exists in the machine's own namespace and nothing here can reach its network.
# The WAN side uses a non-reserved /24 because miniupnpd treats a reserved WAN
# address as "behind another NAT" and refuses to map ports.
#
# Usage: lab.sh up PREFIX [--mode both|upnp|natpmp|none] [--second-lan] [--secure-mode] [--igd2]
#                         [--ipv6]
#        lab.sh down PREFIX [--spare PID]
#        lab.sh router PREFIX start|stop|restart|reboot [--mode M] [--secure-mode] [--igd2]
#                                   (reboot: a restart that loses every mapping and pinhole)
#        lab.sh add-address PREFIX ADDR/LEN [DEV]
#        lab.sh exec PREFIX lan|router|inet -- CMD...
#        lab.sh info PREFIX
#        lab.sh mappings PREFIX
#        lab.sh pinholes PREFIX
#        lab.sh block|unblock PREFIX tcp|udp PORT
#        lab.sh pcp PREFIX off|on          (off: the router drops PCP, keeps NAT-PMP)
#        lab.sh sweep
#        lab.sh list
#        lab.sh check                 # can the lab work here? (one line when not)

set -uo pipefail
export LC_ALL=C

readonly LAB_ROOT="${VELMORA_LAB_ROOT:-/tmp/velmora-lab}"
readonly LAN_NET=192.168.77
readonly LAN2_NET=192.168.78
readonly WAN_NET=11.22.33
readonly LAN_HOST=$LAN_NET.2
readonly ROUTER_LAN=$LAN_NET.1
readonly LAN2_HOST=$LAN2_NET.2
readonly ROUTER_LAN2=$LAN2_NET.1
readonly ROUTER_WAN=$WAN_NET.1
readonly INET_HOST=$WAN_NET.100
readonly HTTP_PORT=5000
readonly FRIENDLY_NAME="Velmora Lab Router"
readonly LAN6_HOST=2001:db8:77::2
readonly ROUTER_LAN6=2001:db8:77::1
readonly ROUTER_LINK6=fe80::1
readonly LAN6_PREFIX=2001:db8:77::/64
readonly ROUTER_WAN6=2001:db8:33::1
readonly INET6_HOST=2001:db8:33::100

die() { echo "lab.sh: $*" >&2; exit 1; }
note() { [ -n "${LAB_QUIET:-}" ] || echo "lab.sh: $*" >&2; }

check_prefix() {
    # Namespace names stay short; the pattern also keeps the prefix safe in paths.
    [[ "${1:-}" =~ ^[a-z][a-z0-9]{1,11}$ ]] || die "bad prefix '${1:-}' (want [a-z][a-z0-9]{1,11})"
}

state_dir() { echo "$LAB_ROOT/$1"; }
ns_name() { echo "$1-$2"; }
ns_exists() { [ -e "/run/netns/$1" ]; }
in_ns() { local ns=$1; shift; ip netns exec "$ns" "$@"; }

require_root() {
    [ "$(id -u)" = 0 ] || die "router lab needs root"
}

# What the lab needs, checked before anything is made, so that a place where
# it cannot work (a chroot, a container without namespaces) gets one line
# saying why instead of an error from every namespace command.
preflight() {
    require_root
    [ -r /proc/self/mountinfo ] && [ -d /sys/class ] || die "the router lab needs /proc and /sys mounted"
    awk '$5 == "/" { found = 1 } END { exit !found }' /proc/self/mountinfo ||
        die "the router lab needs / to be a mount point (in a chroot: mount --bind DIR DIR before chroot DIR)"
    unshare --net --mount --propagation slave true 2>/dev/null ||
        die "the router lab needs network and mount namespaces (unshare --net --mount failed)"
}

require_tools() {
    local t
    for t in "$@"; do
        command -v "$t" >/dev/null || die "router lab needs $t (not found)"
    done
}

# --- nftables -------------------------------------------------------------

# The table and chains miniupnpd expects (its defaults: table "filter" of family
# inet for both filtering and NAT, chains miniupnpd, prerouting_miniupnpd and
# postrouting_miniupnpd), hooked into a small stateful router ruleset.
nft_ruleset() {
    cat <<EOF
table inet filter {
    chain forward {
        type filter hook forward priority 0; policy drop;
        ct state established,related accept
        iifname "lan*" oifname "wan0" accept
        jump miniupnpd
    }
    chain miniupnpd {
    }
    chain prerouting {
        type nat hook prerouting priority -100; policy accept;
        jump prerouting_miniupnpd
    }
    chain postrouting {
        type nat hook postrouting priority 100; policy accept;
        jump postrouting_miniupnpd
        meta nfproto ipv4 oifname "wan0" masquerade
    }
    chain prerouting_miniupnpd {
    }
    chain postrouting_miniupnpd {
    }
}
EOF
}

# --- namespaces -------------------------------------------------------------

write_netns_etc() {
    # ip netns exec binds these over /etc, so look-ups inside the lab stay inside it.
    local p=$1 ns d _
    for ns in lan router inet; do
        d="/etc/netns/$(ns_name "$p" "$ns")"
        # Another lab's down may remove an empty /etc/netns between the two mkdirs.
        for _ in 1 2 3; do
            mkdir -p "$d" 2>/dev/null && break
        done
        cat >"$d/hosts" <<EOF
127.0.0.1 localhost
$LAN_HOST lan.lab
$ROUTER_LAN router.lab
$ROUTER_WAN wan.lab
$INET_HOST inet.lab
EOF
        echo "# router lab: no name server" >"$d/resolv.conf"
    done
}

# "PID STARTTIME" of a process, so a later pid reuse is not taken for it.
process_id() {
    local start
    start=$(sed -E 's/^[0-9]+ \(.*\) (.*)/\1/' "/proc/$1/stat" 2>/dev/null | awk '{print $20}') || return 1
    [ -n "$start" ] && echo "$1 $start"
}

# A lab is in use while the process its prefix names (vl<pid>) or the process
# that brought it up still runs; pid reuse may keep a dead lab a while, never
# the other way round.
owner_alive() {
    local p=$1 owner
    [ -d "/proc/${p#vl}" ] && return 0
    owner=$(cat "$(state_dir "$p")/owner" 2>/dev/null)
    [ -n "$owner" ] && [ "$(process_id "${owner%% *}")" = "$owner" ]
}

lab_up() {
    local p=$1; shift
    local mode=both second_lan=no secure=no igd2=no ipv6=no
    while [ $# -gt 0 ]; do
        case "$1" in
            --mode) mode=${2:-}; shift 2 ;;
            --second-lan) second_lan=yes; shift ;;
            --secure-mode) secure=yes; shift ;;
            --igd2) igd2=yes; shift ;;
            --ipv6) ipv6=yes; shift ;;
            *) die "up: unknown option '$1'" ;;
        esac
    done
    check_mode "$mode"
    preflight
    require_tools ip nft ss unshare setsid miniupnpd
    local lan router inet sd
    lan=$(ns_name "$p" lan); router=$(ns_name "$p" router); inet=$(ns_name "$p" inet)
    sd=$(state_dir "$p")
    for ns in "$lan" "$router" "$inet"; do
        ns_exists "$ns" && die "namespace $ns already exists (run: lab.sh down $p)"
    done

    mkdir -p "$LAB_ROOT" && chmod 700 "$LAB_ROOT"
    rm -rf "$sd" && mkdir -m 700 "$sd" || die "cannot make $sd"
    process_id "${LAB_OWNER_PID:-$PPID}" >"$sd/owner"
    echo "$second_lan" >"$sd/second_lan"
    echo "$ipv6" >"$sd/ipv6"
    cat /proc/sys/kernel/random/uuid >"$sd/uuid"

    # From here on a failure leaves a partial lab: take it down again.
    if ! build_lab "$p" "$second_lan" "$ipv6"; then
        lab_down "$p"
        die "up: could not build the lab"
    fi
    if [ "$mode" != none ]; then
        local args=(--mode "$mode")
        [ "$secure" = yes ] && args+=(--secure-mode)
        [ "$igd2" = yes ] && args+=(--igd2)
        if ! router_start "$p" "${args[@]}"; then
            lab_down "$p"
            die "up: miniupnpd did not start"
        fi
    else
        echo none >"$sd/mode"; echo "$secure" >"$sd/secure"
    fi
    note "lab $p is up"
}

build_lab() {
    local p=$1 second_lan=$2 ipv6=$3
    local lan router inet
    lan=$(ns_name "$p" lan); router=$(ns_name "$p" router); inet=$(ns_name "$p" inet)
    set -e
    ip netns add "$lan"
    ip netns add "$router"
    ip netns add "$inet"
    write_netns_etc "$p"

    ip -n "$router" link add lan0 type veth peer name eth0 netns "$lan"
    ip -n "$router" link add wan0 type veth peer name eth0 netns "$inet"
    if [ "$second_lan" = yes ]; then
        ip -n "$router" link add lan1 type veth peer name eth1 netns "$lan"
    fi

    for ns in "$lan" "$router" "$inet"; do
        ip -n "$ns" link set lo up
        in_ns "$ns" sysctl -qw net.ipv4.ip_forward=0
        # Without --ipv6 IPv6 is not part of the lab; keeping it off avoids
        # stray router solicitations. With it, addresses are static: no router
        # advertisements, no autoconfiguration.
        if [ "$ipv6" = yes ]; then
            in_ns "$ns" sysctl -qw net.ipv6.conf.all.accept_ra=0
            in_ns "$ns" sysctl -qw net.ipv6.conf.default.accept_ra=0
            in_ns "$ns" sysctl -qw net.ipv6.conf.default.autoconf=0
        else
            in_ns "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 || true
            in_ns "$ns" sysctl -qw net.ipv6.conf.default.disable_ipv6=1 || true
        fi
    done
    in_ns "$router" sysctl -qw net.ipv4.ip_forward=1

    ip -n "$lan" addr add "$LAN_HOST/24" dev eth0
    ip -n "$lan" link set eth0 up
    ip -n "$router" addr add "$ROUTER_LAN/24" dev lan0
    ip -n "$router" link set lan0 up
    ip -n "$router" addr add "$ROUTER_WAN/24" dev wan0
    ip -n "$router" link set wan0 up
    ip -n "$inet" addr add "$INET_HOST/24" dev eth0
    ip -n "$inet" link set eth0 up
    if [ "$second_lan" = yes ]; then
        ip -n "$lan" addr add "$LAN2_HOST/24" dev eth1
        ip -n "$lan" link set eth1 up
        ip -n "$router" addr add "$ROUTER_LAN2/24" dev lan1
        ip -n "$router" link set lan1 up
    fi

    ip -n "$lan" route add default via "$ROUTER_LAN" dev eth0
    # SSDP multicast leaves through the first LAN port even without a default route.
    ip -n "$lan" route add 239.255.255.250/32 dev eth0
    ip -n "$router" route add default via "$INET_HOST" dev wan0
    [ "$ipv6" = yes ] && build_ipv6 "$p"

    nft_ruleset >"$(state_dir "$p")/ruleset.nft"
    in_ns "$router" nft -f "$(state_dir "$p")/ruleset.nft"
    set +e
}

# IPv6 of the lab (--ipv6): static addresses without duplicate detection, the
# router forwarding between its LAN and WAN.
build_ipv6() {
    local p=$1 lan router inet
    lan=$(ns_name "$p" lan); router=$(ns_name "$p" router); inet=$(ns_name "$p" inet)
    in_ns "$router" sysctl -qw net.ipv6.conf.all.forwarding=1
    ip -n "$lan" -6 addr add "$LAN6_HOST/64" dev eth0 nodad
    ip -n "$router" -6 addr add "$ROUTER_LAN6/64" dev lan0 nodad
    # As on a home network, the computer's default route leads to the
    # router's link-local address.
    ip -n "$router" -6 addr add "$ROUTER_LINK6/64" dev lan0 nodad
    ip -n "$router" -6 addr add "$ROUTER_WAN6/64" dev wan0 nodad
    ip -n "$inet" -6 addr add "$INET6_HOST/64" dev eth0 nodad
    ip -n "$lan" -6 route add default via "$ROUTER_LINK6" dev eth0
    ip -n "$router" -6 route add default via "$INET6_HOST" dev wan0
    ip -n "$inet" -6 route add "$LAN6_PREFIX" via "$ROUTER_WAN6" dev eth0
}

# The caller and its ancestors: a test binary runs inside the LAN namespace and
# calls lab.sh down itself, so it must not be killed with the lab.
callers() {
    local pid=$$ ppid
    while [ -n "$pid" ] && [ "$pid" -gt 1 ]; do
        echo "$pid"
        ppid=$(sed -E 's/^[0-9]+ \(.*\) . ([0-9]+).*/\1/' "/proc/$pid/stat" 2>/dev/null) || break
        pid=$ppid
    done
}

kill_ns_processes() {
    # Everything else still running inside one of our namespaces was started by the lab.
    local ns=$1 spared=$2 pids='' pid _
    ns_exists "$ns" || return 0
    for pid in $(ip netns pids "$ns" 2>/dev/null); do
        [[ " $spared " == *" $pid "* ]] || pids="$pids $pid"
    done
    [ -n "$pids" ] || return 0
    for pid in $pids; do kill -TERM "$pid" 2>/dev/null; done
    for _ in $(seq 1 100); do
        local left=''
        for pid in $pids; do alive "$pid" && left="$left $pid"; done
        pids=$left
        [ -n "$pids" ] || return 0
        sleep 0.02
    done
    for pid in $pids; do kill -KILL "$pid" 2>/dev/null; done
}

lab_down() {
    local p=$1 ns spared
    # --spare PID: a test process inside the lab that asked for the teardown
    # without being one of our callers.
    spared=" $(callers | tr '\n' ' ') ${2:-} "
    for ns in router lan inet; do
        kill_ns_processes "$(ns_name "$p" "$ns")" "$spared"
    done
    for ns in router lan inet; do
        local n
        n=$(ns_name "$p" "$ns")
        # Deleting a namespace deletes its veths and their peers.
        ns_exists "$n" && ip netns del "$n" 2>/dev/null
        rm -rf "/etc/netns/$n"
    done
    rmdir /etc/netns 2>/dev/null
    rm -rf "$(state_dir "$p")"
    return 0
}

# --- miniupnpd ----------------------------------------------------------------

check_mode() {
    case "$1" in both|upnp|natpmp|none) ;; *) die "bad mode '$1' (both|upnp|natpmp|none)" ;; esac
}

write_config() {
    local p=$1 mode=$2 secure=$3 igd2=${4:-no} sd
    sd=$(state_dir "$p")
    local upnp=yes natpmp=yes
    [ "$mode" = natpmp ] && upnp=no
    [ "$mode" = upnp ] && natpmp=no
    {
        echo "ext_ifname=wan0"
        echo "listening_ip=lan0"
        [ "$(cat "$sd/second_lan")" = yes ] && echo "listening_ip=lan1"
        echo "http_port=$HTTP_PORT"
        echo "enable_upnp=$upnp"
        echo "enable_natpmp=$natpmp"
        echo "secure_mode=$secure"
        # IPv6 pinholes through the WAN port; no ipv6_listening_ip, so that HTTP
        # stays dual-stack and IPv4 clients still reach the description.
        [ "$(cat "$sd/ipv6" 2>/dev/null)" = yes ] && echo "ext_ifname6=wan0"
        echo "lease_file=$sd/leases"
        echo "uuid=$(cat "$sd/uuid")"
        echo "friendly_name=$FRIENDLY_NAME"
        # --igd2: the router describes itself as InternetGatewayDevice:2
        # (WANIPConnection:2); it still answers searches for version 1.
        if [ "$igd2" = yes ]; then echo "force_igd_desc_v1=no"; else echo "force_igd_desc_v1=yes"; fi
        # A veth reports 10 Gbit/s, which overflows the 32-bit IGD v1 fields.
        echo "bitrate_down=100000000"
        echo "bitrate_up=20000000"
        echo "system_uptime=no"
        echo "notify_interval=60"
        echo "clean_ruleset_interval=600"
        echo "allow 1-65535 $LAN_NET.0/24 1-65535"
        echo "allow 1-65535 $LAN2_NET.0/24 1-65535"
        echo "deny 0-65535 0.0.0.0/0 0-65535"
    } >"$sd/miniupnpd.conf"
}

# A process that has not exited yet. An exited one may stay a zombie for a while
# until init reaps it.
alive() {
    local state
    state=$(sed -E 's/^[0-9]+ \(.*\) (.).*/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

router_pid() {
    local sd pid
    sd=$(state_dir "$1")
    pid=$(cat "$sd/miniupnpd.pid" 2>/dev/null) || return 1
    [ -n "$pid" ] && alive "$pid" || return 1
    # Only a process inside our router namespace is ours.
    [ "$(ip netns identify "$pid" 2>/dev/null)" = "$(ns_name "$1" router)" ] || return 1
    echo "$pid"
}

router_listening() {
    local p=$1 mode=$2 router
    router=$(ns_name "$p" router)
    if [ "$mode" != natpmp ]; then
        in_ns "$router" ss -Htln "sport = :$HTTP_PORT" | grep -q . || return 1
        in_ns "$router" ss -Huln "sport = :1900" | grep -q . || return 1
    fi
    if [ "$mode" != upnp ]; then
        in_ns "$router" ss -Huln "sport = :5351" | grep -q . || return 1
    fi
    return 0
}

router_start() {
    local p=$1; shift
    local sd mode secure=no igd2=no
    sd=$(state_dir "$p")
    mode=$(cat "$sd/mode" 2>/dev/null || echo both)
    [ "$mode" = none ] && mode=both
    while [ $# -gt 0 ]; do
        case "$1" in
            --mode) mode=${2:-}; shift 2 ;;
            --secure-mode) secure=yes; shift ;;
            --igd2) igd2=yes; shift ;;
            *) die "router start: unknown option '$1'" ;;
        esac
    done
    check_mode "$mode"
    ns_exists "$(ns_name "$p" router)" || die "no lab $p"
    router_pid "$p" >/dev/null && die "miniupnpd already runs in lab $p"
    echo "$mode" >"$sd/mode"; echo "$secure" >"$sd/secure"; echo "$igd2" >"$sd/igd2"
    [ "$mode" = none ] && return 0
    write_config "$p" "$mode" "$secure" "$igd2"

    # Without /dev/log miniupnpd copies every log line to /dev/console; a private
    # mount namespace sends both to /dev/null and -d keeps the log on stderr.
    local inner='mount --bind /dev/null /dev/console || exit 1
if [ -e /dev/log ]; then mount --bind /dev/null /dev/log || exit 1; fi
exec miniupnpd -d -f "$1" -P "$2"'
    echo "--- lab: starting miniupnpd, mode $mode, secure mode $secure" >>"$sd/miniupnpd.log"
    setsid ip netns exec "$(ns_name "$p" router)" \
        unshare --mount --propagation private sh -c "$inner" sh \
        "$sd/miniupnpd.conf" "$sd/miniupnpd.daemon.pid" \
        </dev/null >>"$sd/miniupnpd.log" 2>&1 &
    echo $! >"$sd/miniupnpd.pid"

    # Until it has entered the namespace the pid is still setsid or ip, so watch
    # for it ending here, and for its sockets.
    local pid=$!
    for _ in $(seq 1 200); do
        if ! alive "$pid"; then
            echo "lab.sh: miniupnpd exited; its log:" >&2
            sed -n '/^--- lab: starting/h; /^--- lab: starting/!H; ${x;p}' "$sd/miniupnpd.log" | tail -n 30 >&2
            return 1
        fi
        router_listening "$p" "$mode" && router_pid "$p" >/dev/null && return 0
        sleep 0.05
    done
    echo "lab.sh: miniupnpd is not listening after 10 s" >&2
    router_stop "$p"
    return 1
}

router_stop() {
    local p=$1 sd pid
    sd=$(state_dir "$p")
    pid=$(router_pid "$p") || { rm -f "$sd/miniupnpd.pid"; return 0; }
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 1 100); do
        alive "$pid" || break
        sleep 0.02
    done
    alive "$pid" && kill -KILL "$pid" 2>/dev/null
    rm -f "$sd/miniupnpd.pid"
    return 0
}

# What a router loses when it is switched off: every rule miniupnpd added and
# its lease file.
router_forget() {
    local p=$1 chain
    ns_exists "$(ns_name "$p" router)" || die "no lab $p"
    for chain in miniupnpd prerouting_miniupnpd postrouting_miniupnpd; do
        in_ns "$(ns_name "$p" router)" nft flush chain inet filter "$chain" || return 1
    done
    rm -f "$(state_dir "$p")/leases"
}

# --- other subcommands -----------------------------------------------------

lab_info() {
    local p=$1 sd
    sd=$(state_dir "$p")
    ns_exists "$(ns_name "$p" router)" || die "no lab $p"
    echo "PREFIX=$p"
    echo "LAN_NS=$(ns_name "$p" lan)"
    echo "ROUTER_NS=$(ns_name "$p" router)"
    echo "INET_NS=$(ns_name "$p" inet)"
    echo "LAN_IF=eth0"
    echo "LAN_HOST=$LAN_HOST"
    echo "ROUTER_LAN=$ROUTER_LAN"
    if [ "$(cat "$sd/second_lan" 2>/dev/null)" = yes ]; then
        echo "LAN2_IF=eth1"
        echo "LAN2_HOST=$LAN2_HOST"
        echo "ROUTER_LAN2=$ROUTER_LAN2"
    fi
    echo "ROUTER_WAN=$ROUTER_WAN"
    echo "INET_HOST=$INET_HOST"
    if [ "$(cat "$sd/ipv6" 2>/dev/null)" = yes ]; then
        echo "LAN6_HOST=$LAN6_HOST"
        echo "ROUTER_LAN6=$ROUTER_LAN6"
        echo "ROUTER_LINK6=$ROUTER_LINK6"
        echo "ROUTER_WAN6=$ROUTER_WAN6"
        echo "INET6_HOST=$INET6_HOST"
    fi
    echo "HTTP_PORT=$HTTP_PORT"
    echo "FRIENDLY_NAME=$FRIENDLY_NAME"
    echo "ROUTER_UUID=$(cat "$sd/uuid" 2>/dev/null)"
    echo "ROUTER_MODE=$(cat "$sd/mode" 2>/dev/null)"
    echo "SECURE_MODE=$(cat "$sd/secure" 2>/dev/null)"
    echo "IGD2=$(cat "$sd/igd2" 2>/dev/null)"
    echo "ROUTER_PID=$(router_pid "$p" 2>/dev/null)"
    echo "STATE_DIR=$sd"
    echo "LEASE_FILE=$sd/leases"
    echo "MINIUPNPD_LOG=$sd/miniupnpd.log"
}

lab_add_address() {
    local p=$1 addr=${2:-} dev=${3:-eth0}
    [[ "$addr" =~ ^[0-9]{1,3}(\.[0-9]{1,3}){3}/[0-9]{1,2}$ ]] || die "add-address: want ADDR/LEN"
    [[ "$dev" =~ ^eth[01]$ ]] || die "add-address: device must be eth0 or eth1"
    ip -n "$(ns_name "$p" lan)" addr add "$addr" dev "$dev"
}

lab_exec() {
    local p=$1 which=${2:-}
    shift 2 || die "exec: want lan|router|inet -- CMD..."
    [ "${1:-}" = -- ] && shift
    [ $# -gt 0 ] || die "exec: no command"
    case "$which" in lan|router|inet) ;; *) die "exec: want lan|router|inet" ;; esac
    local ns
    ns=$(ns_name "$p" "$which")
    ns_exists "$ns" || die "no namespace $ns"
    exec ip netns exec "$ns" "$@"
}

# The table the router's silent drops live in.
block_table() {
    in_ns "$1" nft -f - <<EOF
table inet labblock {
    chain input {
        type filter hook input priority -10; policy accept;
    }
}
EOF
}

# A router that silently drops packets to one of its own ports (no answer, no
# port-unreachable), e.g. NAT-PMP's UDP 5351. Kept in a table of its own.
lab_block() {
    local p=$1 action=$2 proto=${3:-} port=${4:-} router
    [[ "$proto" =~ ^(tcp|udp)$ ]] || die "$action: want tcp|udp PORT"
    [[ "$port" =~ ^[0-9]{1,5}$ ]] && [ "$port" -ge 1 ] && [ "$port" -le 65535 ] ||
        die "$action: bad port '$port'"
    router=$(ns_name "$p" router)
    ns_exists "$router" || die "no lab $p"
    local rule="$proto dport $port drop"
    if [ "$action" = block ]; then
        block_table "$router" || return 1
        in_ns "$router" nft list chain inet labblock input | grep -qF "$rule" && return 0
        in_ns "$router" nft add rule inet labblock input "$proto" dport "$port" drop
    else
        local handle
        handle=$(in_ns "$router" nft -a list chain inet labblock input 2>/dev/null |
            sed -nE "s/.*$rule # handle ([0-9]+).*/\1/p")
        [ -z "$handle" ] || in_ns "$router" nft delete rule inet labblock input handle "$handle"
    fi
}

# A gateway that speaks NAT-PMP only: every datagram to udp 5351 that is not
# version 0 (PCP's are version 2) is dropped without a word. In the table of
# lab_block.
lab_pcp() {
    local p=$1 state=${2:-} router rule='udp dport 5351 @th,64,8 != 0x0 drop'
    [[ "$state" =~ ^(on|off)$ ]] || die "pcp: want on|off"
    router=$(ns_name "$p" router)
    ns_exists "$router" || die "no lab $p"
    if [ "$state" = off ]; then
        block_table "$router" || return 1
        in_ns "$router" nft list chain inet labblock input | grep -qF "$rule" && return 0
        in_ns "$router" nft add rule inet labblock input udp dport 5351 @th,64,8 != 0 drop
    else
        local handle
        handle=$(in_ns "$router" nft -a list chain inet labblock input 2>/dev/null |
            sed -nE "s/.*$rule # handle ([0-9]+).*/\1/p")
        [ -z "$handle" ] || in_ns "$router" nft delete rule inet labblock input handle "$handle"
    fi
}

# The mappings miniupnpd holds, read from the router's own NAT rules:
# one line per mapping, "PROTO EXTPORT INTERNAL_ADDR INTERNAL_PORT".
lab_mappings() {
    local p=$1
    # e.g. iif "wan0" @nh,72,8 0x6 th dport 15555 dnat ip to 192.168.77.2:16666
    in_ns "$(ns_name "$p" router)" nft list chain inet filter prerouting_miniupnpd |
        sed -nE 's/.*@nh,72,8 (0x6|0x11) .*dport ([0-9]+) .*dnat ip to ([0-9.]+):([0-9]+).*/\1 \2 \3 \4/p' |
        sed -e 's/^0x6 /tcp /' -e 's/^0x11 /udp /'
}

# The pinholes miniupnpd holds, read from its filter chain: one line per
# pinhole, "PROTO PORT ADDRESS" (the address in full, e.g. 2001:db8:77:0:0:0:0:2).
lab_pinholes() {
    local p=$1 line port hex proto groups i
    # e.g. iif "wan0" th dport 16000 @nh,192,128 0x20010db8...02 @nh,48,8 0x6 accept
    # (@nh,192,128 is the IPv6 destination, @nh,48,8 the next header: 0x6 TCP, 0x11 UDP)
    in_ns "$(ns_name "$p" router)" nft list chain inet filter miniupnpd |
        sed -nE 's/.*dport ([0-9]+) @nh,192,128 0x([0-9a-f]{32}) @nh,48,8 (0x6|0x11) accept.*/\1 \2 \3/p' |
        while read -r port hex proto; do
            groups=()
            for i in 0 4 8 12 16 20 24 28; do groups+=("$((16#${hex:$i:4}))"); done
            [ "$proto" = 0x6 ] && proto=tcp || proto=udp
            printf '%s %s %x:%x:%x:%x:%x:%x:%x:%x\n' "$proto" "$port" "${groups[@]}"
        done
}

# Labs of vl<pid> runs whose owning process is gone.
lab_sweep() {
    local n p swept=" "
    for n in $(ip netns list 2>/dev/null | awk '{print $1}') "$LAB_ROOT"/vl*; do
        n=${n##*/}
        [[ "$n" =~ ^(vl[0-9]+)(-(lan|router|inet))?$ ]] || continue
        p=${BASH_REMATCH[1]}
        [[ "$swept" == *" $p "* ]] && continue
        owner_alive "$p" && continue
        note "sweeping leftover lab $p"
        lab_down "$p"
        swept="$swept$p "
    done
    return 0
}

main() {
    local cmd=${1:-}
    [ -n "$cmd" ] || die "usage: lab.sh up|down|router|add-address|exec|info|mappings|pinholes|sweep|list|check ..."
    shift
    require_root
    case "$cmd" in
        sweep) lab_sweep; return ;;
        check) preflight; return ;;
        list) ip netns list | awk '{print $1}' | sed -nE 's/^([a-z][a-z0-9]*)-router$/\1/p'; return ;;
    esac
    local p=${1:-}
    check_prefix "$p"
    shift
    case "$cmd" in
        up) lab_up "$p" "$@" ;;
        down)
            local spare=''
            if [ "${1:-}" = --spare ]; then
                [[ "${2:-}" =~ ^[0-9]+$ ]] || die "down: --spare wants a pid"
                spare=$2
            fi
            lab_down "$p" "$spare" ;;
        router)
            local action=${1:-}
            shift || true
            case "$action" in
                start) router_start "$p" "$@" ;;
                stop) router_stop "$p" ;;
                restart) router_stop "$p" && router_start "$p" "$@" ;;
                reboot) router_stop "$p" && router_forget "$p" && router_start "$p" "$@" ;;
                *) die "router: want start|stop|restart|reboot" ;;
            esac ;;
        add-address) lab_add_address "$p" "$@" ;;
        exec) lab_exec "$p" "$@" ;;
        info) lab_info "$p" ;;
        mappings) lab_mappings "$p" ;;
        pinholes) lab_pinholes "$p" ;;
        block|unblock) lab_block "$p" "$cmd" "$@" ;;
        pcp) lab_pcp "$p" "$@" ;;
        *) die "unknown command '$cmd'" ;;
    esac
}

main "$@"

#!/usr/bin/env bash
# A Firebird 4.0 server for the tests, from Debian 13's own packages in a chroot kept outside the
# tree (built once; a root without its stamp is half made and is built again).
#
#   scripts/firebird4-server.sh setup   build the root if it is not complete
#   scripts/firebird4-server.sh start   setup, start the server, print the tests' variables
#   scripts/firebird4-server.sh stop    stop the server, unmount what start mounted
#
# The server listens on 127.0.0.1 only, on DEPURIX_FB4_PORT (default 30540), with SYSDBA's
# password the product uses. Its databases go in <root>/data, /data inside the chroot.
set -euo pipefail

cache=${DEPURIX_CACHE:-$HOME/.cache/depurix}
root=$cache/fb4-root
stamp=$cache/fb4-root.complete
port=${DEPURIX_FB4_PORT:-30540}
password=vlemtrasq
fbdir=/usr/lib/firebird/4.0
pidfile=$cache/fb4-server.pid
log=$cache/fb4-server.log

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# The same Debian mirror the machine's own apt uses, with the suite trixie.
mirror() {
    local uri
    uri=$(grep -hsE '^[[:space:]]*(URIs:|deb[[:space:]])' /etc/apt/sources.list \
            /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources |
          grep -oE 'https?://[^[:space:]]+/debian/?' | grep -v security | head -n1 || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

mounted() { grep -qs " $(realpath -m "$1") " /proc/self/mounts; }

mount_chroot() {
    mounted "$root/proc" || $sudo mount -t proc proc "$root/proc"
    mounted "$root/dev" || $sudo mount --bind /dev "$root/dev"
}

umount_chroot() {
    local m
    for m in "$root/dev" "$root/proc"; do
        if mounted "$m"; then $sudo umount "$m" || $sudo umount -l "$m"; fi
    done
}

in_root() { $sudo env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 chroot "$root" "$@"; }

setup() {
    [ -e "$stamp" ] && return 0
    local start=$SECONDS
    if [ -e "$root" ]; then
        echo "fb4-server: removing the half-made root $root"
        umount_chroot
        $sudo rm -rf --one-file-system "$root"
    fi
    mkdir -p "$cache"
    command -v debootstrap >/dev/null || { echo "fb4-server: debootstrap missing (scripts/install-deps.sh)" >&2; exit 1; }
    $sudo debootstrap --variant=minbase trixie "$root" "$(mirror)"
    # No service starts inside the root: the server is started here, by hand.
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$root/usr/sbin/policy-rc.d" >/dev/null
    $sudo chmod +x "$root/usr/sbin/policy-rc.d"
    mount_chroot
    trap umount_chroot EXIT
    in_root apt-get -f install -y
    in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        firebird4.0-server firebird4.0-utils
    in_root apt-get clean

    # Only 127.0.0.1 and our port; Debian's defaults bind localhost on the service port.
    local conf=$root/etc/firebird/4.0/firebird.conf
    $sudo sed -i -E 's/^[[:space:]]*(RemoteBindAddress|RemoteServicePort)[[:space:]]*=/#&/' "$conf"
    [ -f "$root/etc/firebird/4.0/service-port.conf" ] &&
        $sudo sed -i -E 's/^[[:space:]]*RemoteServicePort/#&/' "$root/etc/firebird/4.0/service-port.conf"
    printf '\nRemoteBindAddress = 127.0.0.1\nRemoteServicePort = %s\n' "$port" |
        $sudo tee -a "$conf" >/dev/null

    printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
        in_root isql-fb -q -user SYSDBA /var/lib/firebird/4.0/system/security4.fdb
    $sudo mkdir -p "$root/data"
    in_root chown firebird:firebird /data
    $sudo chmod 1777 "$root/data"
    umount_chroot
    trap - EXIT
    $sudo touch "$stamp"
    echo "fb4-server: root built in $((SECONDS - start)) s"
}

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

running() { [ -f "$pidfile" ] && $sudo kill -0 "$(cat "$pidfile")" 2>/dev/null; }

start() {
    setup
    local start=$SECONDS
    if ! running; then
        listening && { echo "fb4-server: port $port is taken by another program" >&2; exit 1; }
        # The port is written each start: DEPURIX_FB4_PORT may differ from the one at setup.
        $sudo sed -i -E "s/^RemoteServicePort = .*/RemoteServicePort = $port/" \
            "$root/etc/firebird/4.0/firebird.conf"
        mount_chroot
        # A killed server leaves its lock files behind.
        $sudo rm -rf "$root/tmp/firebird"
        # The root's own firebird user: the host may have one of another id, or none.
        local ids
        ids=$(awk -F: '$1 == "firebird" { print $3 ":" $4 }' "$root/etc/passwd")
        $sudo setsid env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin chroot --userspec="$ids" "$root" \
            "$fbdir/bin/firebird" </dev/null >"$log" 2>&1 &
        echo $! >"$pidfile"
        local tries=0
        until listening; do
            running && [ $tries -lt 300 ] || {
                echo "fb4-server: the server did not start:" >&2; cat "$log" >&2; stop; exit 1; }
            sleep 0.1; tries=$((tries + 1))
        done
        echo "fb4-server: started on 127.0.0.1/$port in $((SECONDS - start)) s" >&2
    fi
    echo "export DEPURIX_FB4_SERVER=127.0.0.1/$port"
    echo "export DEPURIX_FB4_DATA=$root/data"
    echo "export DEPURIX_FB4_DATA_INSIDE=/data"
}

stop() {
    if running; then
        local pid
        pid=$(cat "$pidfile")
        $sudo kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do $sudo kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        $sudo kill -9 "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile"
    [ -d "$root" ] && umount_chroot
    return 0
}

case "${1:-}" in
    setup) setup ;;
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 setup|start|stop" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Starts the servers the synchronisation tests talk to, on the loopback
# only, and stops them again: Debian's Radicale with a scratch folder and
# one test user, and the scripted server of faults (fault_server.py),
# also over HTTPS with a certificate of its own that no system trusts.
# Each writes its address into DIR (radicale.url, fault.url, tls.url); a server
# that does not answer within 30 s makes "start" fail, so that the tests
# that need it fail too.
# Usage: servers.sh start DIR | servers.sh stop DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=${1:-}
dir=${2:-}
[ -n "$dir" ] || { echo "usage: servers.sh start|stop DIR" >&2; exit 2; }

# The test account, also known to the tests.
user=corvelle
password='sync pass 1'

stop() {
    for name in radicale fault; do
        if [ -f "$dir/$name.pid" ]; then
            kill "$(cat "$dir/$name.pid")" 2> /dev/null || true
            rm -f "$dir/$name.pid"
        fi
    done
}

free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# wait_for URL: true once the server answers at all (any status).
wait_for() {
    for _ in $(seq 60); do
        if python3 - "$1" <<'PY' 2> /dev/null; then return 0; fi
import sys, urllib.request, urllib.error
try:
    urllib.request.urlopen(sys.argv[1], timeout=2)
except urllib.error.HTTPError:
    pass
PY
        sleep 0.5
    done
    return 1
}

start() {
    stop
    rm -rf "$dir/radicale"
    mkdir -p "$dir/radicale/collections"
    printf '%s:%s\n' "$user" "$password" > "$dir/radicale/users"
    local port
    port=$(free_port)
    cat > "$dir/radicale/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $dir/radicale/users
htpasswd_encryption = plain
delay = 0
[rights]
type = owner_only
[storage]
filesystem_folder = $dir/radicale/collections
[logging]
level = warning
CONFIG
    setsid radicale --config "$dir/radicale/config" > "$dir/radicale.log" 2>&1 < /dev/null &
    echo $! > "$dir/radicale.pid"
    if ! wait_for "http://127.0.0.1:$port/"; then
        echo "Radicale did not start; its log:" >&2
        cat "$dir/radicale.log" >&2
        stop
        exit 1
    fi
    echo "http://127.0.0.1:$port/" > "$dir/radicale.url"

    port=$(free_port)
    local tls_port
    tls_port=$(free_port)
    # A certificate of its own, which no system trusts.
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
        -keyout "$dir/radicale/tls.key" -out "$dir/radicale/tls.crt" > /dev/null 2>&1
    setsid python3 "$here/fault_server.py" "$port" "$tls_port" "$dir/radicale/tls.crt" "$dir/radicale/tls.key" \
        > "$dir/fault.log" 2>&1 < /dev/null &
    echo $! > "$dir/fault.pid"
    if ! wait_for "http://127.0.0.1:$port/"; then
        echo "The fault server did not start; its log:" >&2
        cat "$dir/fault.log" >&2
        stop
        exit 1
    fi
    echo "http://127.0.0.1:$port/" > "$dir/fault.url"
    echo "https://127.0.0.1:$tls_port/" > "$dir/tls.url"
    echo "Radicale at $(cat "$dir/radicale.url"), faults at $(cat "$dir/fault.url")"
}

case "$action" in
    start) mkdir -p "$dir"; start ;;
    stop) stop ;;
    *) echo "usage: servers.sh start|stop DIR" >&2; exit 2 ;;
esac

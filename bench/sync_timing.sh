#!/usr/bin/env bash
# Times synchronisation against a local Radicale: the first sync of a new
# book from an address book of 2,000 cards, beside Debian's vdirsyncer
# fetching the same cards into an empty folder, and a sync with nothing
# changed of the same book. The cards are put straight into Radicale's
# storage, as uploading thousands of them through Radicale takes minutes of
# its own time. (A book of 10,000 cards is past what Radicale answers within
# the client's 30 s per request on a small machine: it reads every card to
# answer even a Depth 0 PROPFIND.) Prints a Markdown table of medians.
# Usage: bench/sync_timing.sh TXLTOOL WORK_FOLDER [REPETITIONS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
txltool=$1
work=$2
repetitions=${3:-3}
servers=$work/servers
mkdir -p "$work"
"$here/../tests/sync/servers.sh" start "$servers" > /dev/null
trap '"$here/../tests/sync/servers.sh" stop "$servers"' EXIT
root=$(cat "$servers/radicale.url")
export CORVELLE_PASSWORD='sync pass 1'

# fill NAME COUNT: an address book of COUNT cards written into the storage.
fill() {
    /usr/bin/python3 - "$servers/radicale/collections/collection-root/corvelle/$1" "$2" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder, exist_ok=True)
open(os.path.join(folder, ".Radicale.props"), "w").write('{"tag": "VADDRESSBOOK"}')
for i in range(count):
    with open(os.path.join(folder, "card-%05d.vcf" % i), "w", encoding="utf-8", newline="") as f:
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bench-%05d\r\nFN:张 %05d\r\nN:张;%05d;;;\r\n"
                "TEL;TYPE=CELL:138%08d\r\nEMAIL;TYPE=HOME:p%05d@example.com\r\nORG:长江公司\r\n"
                "ADR;TYPE=HOME:;;长安街 %d 号;北京;;100000;中国\r\nEND:VCARD\r\n" % (i, i, i, i, i, i))
PY
}
seconds() { local start end; start=$(date +%s.%N); "$@" > /dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc; }
median() { sort -n | awk '{ a[NR] = $1 } END { printf "%.2f", a[int((NR + 1) / 2)] }'; }

# warm NAME: Radicale reads every card once to build its cache.
warm() {
    /usr/bin/python3 - "${root}corvelle/$1/" <<'PY'
import sys, urllib.request, base64
request = urllib.request.Request(sys.argv[1], method="PROPFIND", headers={"Depth": "1"},
                                 data=b'<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/></d:prop></d:propfind>')
request.add_header("Authorization", "Basic " + base64.b64encode(b"corvelle:sync pass 1").decode())
urllib.request.urlopen(request, timeout=900).read()
PY
}

fill first 2000
warm first
sync_first() { rm -f "$work/first.txl" "$work/first.sync.state"; "$txltool" sync "$work/first.txl" "${root}corvelle/first/" --user corvelle; }
vdir_first() {
    rm -rf "$work/vdir" && mkdir -p "$work/vdir/files" "$work/vdir/status"
    cat > "$work/vdir/config" <<CONF
[general]
status_path = "$work/vdir/status/"
[pair p]
a = "files"
b = "server"
collections = null
[storage files]
type = "filesystem"
path = "$work/vdir/files/"
fileext = ".vcf"
[storage server]
type = "carddav"
url = "${root}corvelle/first/"
username = "corvelle"
password = "sync pass 1"
CONF
    vdirsyncer -c "$work/vdir/config" discover && vdirsyncer -c "$work/vdir/config" sync
}
ours=$(for _ in $(seq "$repetitions"); do seconds sync_first; done | median)
theirs=$(for _ in $(seq "$repetitions"); do seconds vdir_first; done | median)
[ "$(ls "$work/vdir/files" | wc -l)" -eq 2000 ] || echo "vdirsyncer fetched $(ls "$work/vdir/files" | wc -l) cards" >&2

sync_first > /dev/null
nochange=$(for _ in $(seq "$repetitions"); do seconds "$txltool" sync "$work/first.txl" "${root}corvelle/first/" --user corvelle; done | median)

echo "| Synchronisation with Radicale (median of $repetitions) | seconds |"
echo "|---|---|"
echo "| First sync of a new book, 2,000 cards (txltool sync) | $ours |"
echo "| The same cards fetched by vdirsyncer into an empty folder | $theirs |"
echo "| Sync with nothing changed of that book (txltool sync) | $nochange |"

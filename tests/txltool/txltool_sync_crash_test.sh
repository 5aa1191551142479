#!/usr/bin/env bash
# A synchronisation killed at random moments (SIGKILL, several times)
# and then run to its end: the book holds what the server holds, nothing
# doubled, nothing lost. Against Radicale (servers.sh, started by ctest).
# Arguments: the command that runs txltool.
source "$(dirname "$0")/script_checks.sh"
records() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | cut -f 2- | sort; }
doubles() { records "$1" | cut -f 1,2 | sort | uniq -d | wc -l; }

servers=${CORVELLE_TEST_SERVERS:?run through ctest, which starts the servers}
root=$(cat "$servers/radicale.url")
url="${root}corvelle/crash-$$-$RANDOM/"
export CORVELLE_PASSWORD='sync pass 1'
# server_cards: how many cards the address book holds. With "phone N", first
# writes N cards of its own, as a phone would.
server() {
    python3 - "$url" "$@" <<'PY'
import sys, urllib.request, base64, re
url, action = sys.argv[1], sys.argv[2]
auth = "Basic " + base64.b64encode(b"corvelle:sync pass 1").decode()
def send(method, address, body=b"", headers={}):
    request = urllib.request.Request(address, data=body, method=method)
    request.add_header("Authorization", auth)
    for name, value in headers.items():
        request.add_header(name, value)
    return urllib.request.urlopen(request, timeout=30).read()
if action == "make":
    send("MKCOL", url, b'<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav">'
         b'<d:set><d:prop><d:resourcetype><d:collection/><c:addressbook/></d:resourcetype></d:prop></d:set></d:mkcol>')
elif action == "phone":
    for i in range(int(sys.argv[3])):
        card = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-%d\r\nFN:手机 %d\r\nN:手机;%d;;;\r\nTEL;TYPE=CELL:1370000%04d\r\nEND:VCARD\r\n" % (i, i, i, i)
        send("PUT", url + "phone-%d.vcf" % i, card.encode(), {"Content-Type": "text/vcard; charset=utf-8"})
elif action == "count":
    answer = send("PROPFIND", url, b'<?xml version="1.0"?><d:propfind xmlns:d="DAV:"><d:prop><d:getetag/></d:prop></d:propfind>',
                  {"Depth": "1", "Content-Type": "application/xml"}).decode()
    print(len(re.findall(r"\.vcf</", answer)))
PY
}
# Starts a sync and kills it after a random while of up to LONGEST
# hundredths of a second, `rounds` times.
interrupt() {  # interrupt BOOK ROUNDS LONGEST [options...]
    local book=$1 rounds=$2 longest=$3
    shift 3
    for _ in $(seq "$rounds"); do
        "${txltool[@]}" sync "$book" "$url" --user corvelle "$@" > /dev/null 2>&1 &
        local pid=$!
        sleep "$((RANDOM % longest + 1))e-2"
        kill -9 "$pid" 2> /dev/null && killed=$((killed + 1))
        wait "$pid" 2> /dev/null
    done
}
RANDOM=29  # the same moments on every run
killed=0

server make
server phone 60
{
    printf '姓,名,手机\r\n' | iconv -f UTF-8 -t GBK
    for i in $(seq 300); do printf 'Crash%03d,Given,1380000%04d\r\n' "$i" "$i"; done
} > people.csv
run import-csv a.txl people.csv > /dev/null

interrupt a.txl 6 80
echo "killed $killed of 6 syncs while they ran"
check "most syncs were killed while they ran" 1 "$((killed >= 4))"
run sync a.txl "$url" --user corvelle > /dev/null
check "the first sync ends" 0 $?
check "every contact once in the book" "360 0" "$(records a.txl | wc -l) $(doubles a.txl)"
check "every card once on the server" 360 "$(server count)"
run sync b.txl "$url" --user corvelle > /dev/null
check "a second book holds what the first does" "$(records a.txl)" "$(records b.txl)"

# Edits and deletions, broken off again: a sync of these is short on a
# quiet machine, so it is killed sooner.
for i in $(seq 1 60); do run edit a.txl "$i" 8=1390000$((1000 + i)) > /dev/null; done
for _ in $(seq 30); do run delete a.txl 100 > /dev/null; done
killed=0
interrupt a.txl 5 30
echo "killed $killed of 5 syncs while they ran"
check "syncs of the changes were killed while they ran" 1 "$((killed >= 2))"
run sync a.txl "$url" --user corvelle > /dev/null
check "the second sync ends" 0 $?
check "330 contacts once in the book" "330 0" "$(records a.txl | wc -l) $(doubles a.txl)"
check "330 cards on the server" 330 "$(server count)"
run sync b.txl "$url" --user corvelle > /dev/null
check "the second book follows" "$(records a.txl)" "$(records b.txl)"
check "nothing left to do" "$(printf 'uploaded 0\ndownloaded 0\ndeleted 0\nconflicts 0')" "$(run sync a.txl "$url" --user corvelle)"
finish txltool_sync_crash

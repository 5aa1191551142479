#!/usr/bin/env bash
# Debian's vdirsyncer as the phone: it keeps a folder of .vcf files in step
# with the same Radicale address book as txltool sync, and what either
# side changes reaches the other. Arguments: the txltool to run.
source "$(dirname "$0")/../txltool/script_checks.sh"
records() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | cut -f 2- | sort; }
phone() { vdirsyncer -c "$work/vdirsyncer.conf" "$@" > "$work/vdirsyncer.log" 2>&1 || cat "$work/vdirsyncer.log"; }
command -v vdirsyncer > /dev/null || { echo "vdirsyncer is missing (tools/setup.sh installs it)"; exit 1; }

servers=${CORVELLE_TEST_SERVERS:?run through ctest, which starts the servers}
url="$(cat "$servers/radicale.url")corvelle/vdir-$$-$RANDOM/"
python3 - "$url" <<'PY'
import sys, urllib.request, base64
body = b'<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><d:set><d:prop>' \
       b'<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype></d:prop></d:set></d:mkcol>'
request = urllib.request.Request(sys.argv[1], data=body, method="MKCOL")
request.add_header("Authorization", "Basic " + base64.b64encode(b"corvelle:sync pass 1").decode())
urllib.request.urlopen(request, timeout=10)
PY
export CORVELLE_PASSWORD='sync pass 1'
mkdir -p phone status
cat > vdirsyncer.conf <<CONF
[general]
status_path = "$work/status/"

[pair phone]
a = "phone_files"
b = "phone_server"
collections = null
conflict_resolution = "b wins"

[storage phone_files]
type = "filesystem"
path = "$work/phone/"
fileext = ".vcf"

[storage phone_server]
type = "carddav"
url = "$url"
username = "corvelle"
password = "sync pass 1"
CONF

printf '姓,名,手机\r\n张,三,13800000001\r\n王,五,13800000002\r\n' | iconv -f UTF-8 -t GBK > people.csv
run import-csv book.txl people.csv > /dev/null
run sync book.txl "$url" --user corvelle > /dev/null
phone discover
phone sync
check "the phone has both contacts" 2 "$(ls phone | wc -l)"
check "as UTF-8 vCard 3.0" 2 "$(grep -l 'VERSION:3.0' phone/*.vcf | wc -l)"

# The phone edits one, adds one with a photo, deletes one.
zhang=$(grep -l '13800000001' phone/*.vcf)
wang=$(grep -l '13800000002' phone/*.vcf)
sed -i 's/13800000001/13900000001/' "$zhang"
rm "$wang"
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:phone-made-1\r\nFN:李 雷\r\nN:李;雷;;;\r\nTEL;TYPE=CELL:13700000001\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg==\r\nX-PHONE-RING:bells\r\nEND:VCARD\r\n' > phone/phone-made-1.vcf
phone sync
out=$(run sync book.txl "$url" --user corvelle)
check "the phone's changes arrive" "$(printf 'uploaded 0\ndownloaded 2\ndeleted 1\nconflicts 0')" "$out"
check "the book as the phone has it" "2 1 1 0" "$(records book.txl | wc -l) $(records book.txl | grep -c 13900000001) $(records book.txl | grep -c 13700000001) $(records book.txl | grep -c 13800000002)"

# The book edits the phone's contact: the number changes, the photo stays.
li=$(run dump book.txl | iconv -f GBK -t UTF-8 | grep '^record' | grep -n 13700000001 | cut -d: -f1)
run edit book.txl "$li" 8=13700000009 > /dev/null
check "the edit goes up" "$(printf 'uploaded 1\ndownloaded 0\ndeleted 0\nconflicts 0')" "$(run sync book.txl "$url" --user corvelle)"
phone sync
check "the phone has the new number" 1 "$(grep -c 13700000009 phone/phone-made-1.vcf)"
check "and keeps its photo and its own property" 2 "$(grep -c -e '^PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRg==' -e '^X-PHONE-RING:bells' phone/phone-made-1.vcf)"
check "and its UID" 1 "$(grep -c '^UID:phone-made-1' phone/phone-made-1.vcf)"
check "nothing left to do" "$(printf 'uploaded 0\ndownloaded 0\ndeleted 0\nconflicts 0')" "$(run sync book.txl "$url" --user corvelle)"
finish vdirsyncer

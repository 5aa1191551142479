# Sourced by the txltool scripts that synchronise, after script_checks.sh:
# makes a new, empty address book of the test account on Radicale
# (servers.sh, started by ctest) and sets `url` to it.
servers=${CORVELLE_TEST_SERVERS:?run through ctest, which starts the servers}
url="$(cat "$servers/radicale.url")corvelle/$1-$$-$RANDOM/"
export CORVELLE_PASSWORD='sync pass 1'
python3 - "$url" <<'PY' || { echo "cannot make the address book $url"; exit 1; }
import sys, urllib.request, base64
body = b'<?xml version="1.0"?><d:mkcol xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:carddav"><d:set><d:prop>' \
       b'<d:resourcetype><d:collection/><c:addressbook/></d:resourcetype></d:prop></d:set></d:mkcol>'
request = urllib.request.Request(sys.argv[1], data=body, method="MKCOL")
request.add_header("Authorization", "Basic " + base64.b64encode(b"corvelle:sync pass 1").decode())
urllib.request.urlopen(request, timeout=10)
PY

#!/usr/bin/env python3
"""A small CardDAV server on the loopback that shows, on purpose, the
faults real servers show. Each address book /faults/NAME/ behaves as its
NAME says; every book starts with five cards, card0.vcf to card4.vcf.

  plain        a well-behaved book
  precondition every conditional write fails with 412
  token        a sync token other than the first is refused (403, valid-sync-token)
  token409     a sync token other than the first is refused with a bare 409
  truncated    sync-collection answers two cards at a time, with 507 and a new token
  stuck        sync-collection answers 507 and never moves its token on
  reserialize  a written card is stored rewritten: other line order and case, no ETag given
  uid          a written card is stored with another UID, no ETag given
  unauthorized every request gets 401
  busy         the first two requests of each kind get 429, Retry-After: 1
  overloaded   every request gets 503, Retry-After: 1
  later        every request gets 429, Retry-After: 3600
  digest       asks for Digest authentication (MD5, qop=auth) of the test account
  dated        the first request of each kind gets 429 with Retry-After as an HTTP date 2 s ahead
  reset        the first request of each kind finds its connection reset, with no answer
  cut          answers announce more bytes than they send, then close the connection
  slow         answers come after 8 s
  small        max-resource-size is 300 bytes; a larger card gets 413
  noetag       lists and cards come without ETags
  partial      a multiget leaves out card1 and reports card2 as gone
  escaped      a multiget answers with hrefs escaped otherwise than asked ("c%61rd0.vcf")
  broken       answers 500
  garbage      multistatus answers that are no XML
  race         the first conditional write to each card gets 412, the card
               having been changed meanwhile (a new e-mail line)
  putcut       the third PUT of the book is stored, but its answer is cut off
  nosync       offers no sync-collection report and no sync token
A book /faults/NAME-ANYTHING/ behaves as NAME, with cards of its own.
A second port answers the same over HTTPS with a certificate no system
trusts (self-signed), which every client must refuse.
Usage: fault_server.py PORT [TLS_PORT CERTIFICATE KEY]
"""
import hashlib
import http.server
import re
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
from xml.sax.saxutils import escape

DAV_HEAD = ('<?xml version="1.0" encoding="utf-8"?>\n'
            '<d:multistatus xmlns:d="DAV:" xmlns:card="urn:ietf:params:xml:ns:carddav">')


def card(uid, name):
    return ("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%s\r\nFN:%s\r\nN:%s;;;;\r\n"
            "TEL;TYPE=CELL:13800138000\r\nEND:VCARD\r\n" % (uid, name, name))


def etag_of(text):
    return '"%s"' % hashlib.sha1(text.encode()).hexdigest()[:16]


DIGEST_NONCE = "dcd98b7102dd2f0e8b11d0f600bfb0c093"
TEST_USER, TEST_PASSWORD = "corvelle", "sync pass 1"
lock = threading.Lock()
books = {}       # name -> {href: text}
versions = {}    # name -> list of (token number, href) changes
counts = {}      # (book, method) -> requests seen
raced = set()    # hrefs of the race book that met their 412


def book(key):
    if key not in books:
        books[key] = {"/faults/%s/card%d.vcf" % (key, i): card("card-%d" % i, "Person %d" % i) for i in range(5)}
        versions[key] = 1
    return books[key]


def reserialized(text):
    """The card as a server that parses and writes it again would keep it."""
    lines = [l for l in text.replace("\r\n", "\n").split("\n") if l and not l.upper().startswith(("BEGIN:", "END:"))]
    out = []
    for line in reversed(lines):
        head, _, value = line.partition(":")
        out.append(head.lower().replace("type=", "TYPE=") + ":" + value)
    return "BEGIN:VCARD\r\n" + "\r\n".join(out) + "\r\nEND:VCARD\r\n"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def scenario(self):
        """The book's behaviour, and the book's own name."""
        match = re.match(r"^/faults/(([a-z0-9]+)(-[a-z0-9]+)?)/", self.path)
        return (match.group(2), match.group(1)) if match else ("", "")

    def body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length).decode("utf-8", "replace") if length else ""

    def answer(self, status, text="", headers=None, content_type="application/xml; charset=utf-8"):
        data = text.encode("utf-8")
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        if data:
            self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def multistatus(self, responses, token=None):
        text = DAV_HEAD + "".join(responses)
        if token is not None:
            text += "<d:sync-token>%s</d:sync-token>" % escape(token)
        self.answer(207, text + "</d:multistatus>")

    def fault(self, name, key, method):
        """Answers for the scenarios that fail before any work; True when answered."""
        with lock:
            counts[(key, method)] = counts.get((key, method), 0) + 1
            seen = counts[(key, method)]
        if name == "unauthorized":
            self.answer(401, "", {"WWW-Authenticate": 'Basic realm="faults"'})
        elif name == "digest" and not self.digest_answered(method):
            self.answer(401, "", {"WWW-Authenticate": 'Basic realm="faults", Digest realm="faults@loopback", '
                                  'qop="auth,auth-int", nonce="%s", opaque="op4que", algorithm=MD5' % DIGEST_NONCE})
        elif name == "dated" and seen == 1:
            self.answer(429, "", {"Retry-After": self.date_time_string(time.time() + 2)})
        elif name == "busy" and seen <= 2:
            self.answer(429, "", {"Retry-After": "1"})
        elif name == "overloaded":
            self.answer(503, "", {"Retry-After": "1"})
        elif name == "later":
            self.answer(429, "", {"Retry-After": "3600"})
        elif name == "broken":
            self.answer(500, "")
        elif name == "reset" and seen == 1:
            # Closing with a zero linger time sends a reset, not an end.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
        elif name == "cut":
            self.send_response(207)
            self.send_header("Content-Type", "application/xml")
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write((DAV_HEAD + "<d:response><d:href>/faults/cut/").encode())
            self.wfile.flush()
            self.close_connection = True
        elif name == "slow":
            time.sleep(8)
            self.answer(500, "")
        elif name == "garbage" and method in ("PROPFIND", "REPORT"):
            self.answer(207, "<d:multistatus xmlns:d='DAV:'><d:response>&bogus;</d:multistatus")
        else:
            return False
        return True

    def digest_answered(self, method):
        """True when the request's Digest answer is right for the test account."""
        given = self.headers.get("Authorization") or ""
        if not given.startswith("Digest "):
            return False
        fields = dict((k, v.strip('"')) for k, v in re.findall(r'(\w+)=("[^"]*"|[^,\s]*)', given[7:]))
        md5 = lambda text: hashlib.md5(text.encode()).hexdigest()
        secret = md5("%s:%s:%s" % (TEST_USER, fields.get("realm"), TEST_PASSWORD))
        expected = md5(":".join([secret, DIGEST_NONCE, fields.get("nc", ""), fields.get("cnonce", ""), "auth",
                                 md5("%s:%s" % (method, self.path))]))
        return (fields.get("username") == TEST_USER and fields.get("uri") == self.path and
                fields.get("qop") == "auth" and fields.get("opaque") == "op4que" and fields.get("response") == expected)

    def entry(self, name, href, text, data=False):
        etag = "" if name == "noetag" else "<d:getetag>%s</d:getetag>" % escape(etag_of(text))
        address = "<card:address-data>%s</card:address-data>" % escape(text) if data else ""
        return ("<d:response><d:href>%s</d:href><d:propstat><d:prop>%s%s</d:prop>"
                "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>" % (href, etag, address))

    def do_PROPFIND(self):
        name, key = self.scenario()
        self.body()
        if self.fault(name, key, "PROPFIND"):
            return
        with lock:
            cards = dict(book(key))
            token = "token-%d" % versions[key]
        size = "<card:max-resource-size>300</card:max-resource-size>" if name == "small" else ""
        sync = ("<d:sync-token>%s</d:sync-token>"
                "<d:supported-report-set><d:supported-report><d:report><d:sync-collection/></d:report>"
                "</d:supported-report></d:supported-report-set>" % token) if name != "nosync" else ""
        me = ("<d:response><d:href>/faults/%s/</d:href><d:propstat><d:prop>"
              "<d:resourcetype><d:collection/><card:addressbook/></d:resourcetype>"
              "<d:displayname>%s</d:displayname>%s%s"
              "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>" % (key, key, size, sync))
        responses = [me]
        if self.headers.get("Depth") == "1":
            responses += [self.entry(name, href, text) for href, text in sorted(cards.items())]
        self.multistatus(responses)

    def do_REPORT(self):
        name, key = self.scenario()
        body = self.body()
        if self.fault(name, key, "REPORT"):
            return
        with lock:
            cards = dict(book(key))
            version = versions[key]
        if "addressbook-multiget" in body:
            responses = []
            for href in re.findall(r"<d:href>([^<]*)</d:href>", body):
                if name == "partial" and href.endswith("card1.vcf"):
                    continue
                if href in cards and not (name == "partial" and href.endswith("card2.vcf")):
                    written = href.replace("/card", "/c%61rd") if name == "escaped" else href
                    responses.append(self.entry(name, written, cards[href], data=True))
                else:
                    responses.append("<d:response><d:href>%s</d:href>"
                                     "<d:status>HTTP/1.1 404 Not Found</d:status></d:response>" % href)
            self.multistatus(responses)
            return
        token = re.search(r"<d:sync-token>([^<]*)</d:sync-token>", body)
        token = token.group(1) if token else ""
        if token and name == "token":
            self.answer(403, '<?xml version="1.0"?><d:error xmlns:d="DAV:"><d:valid-sync-token/></d:error>')
            return
        if token and name == "token409":
            self.answer(409, "")
            return
        hrefs = sorted(cards)
        if name in ("truncated", "stuck"):
            start = int(token.split("-")[1]) if token.startswith("page-") else 0
            page = hrefs[start:start + 2]
            done = start + 2 >= len(hrefs)
            responses = [self.entry(name, href, cards[href]) for href in page]
            if not done:
                responses.append("<d:response><d:href>/faults/%s/</d:href>"
                                 "<d:status>HTTP/1.1 507 Insufficient Storage</d:status></d:response>" % key)
            next_token = "page-0" if name == "stuck" else ("token-%d" % version if done else "page-%d" % (start + 2))
            self.multistatus(responses, next_token)
            return
        self.multistatus([self.entry(name, href, cards[href]) for href in hrefs], "token-%d" % version)

    def do_GET(self):
        name, key = self.scenario()
        if self.path == "/":
            self.answer(200, "fault server", content_type="text/plain")
            return
        if self.fault(name, key, "GET"):
            return
        with lock:
            text = book(key).get(self.path)
        if text is None:
            self.answer(404, "")
            return
        headers = {} if name == "noetag" else {"ETag": etag_of(text)}
        self.answer(200, text, headers, "text/vcard; charset=utf-8")

    def do_PUT(self):
        name, key = self.scenario()
        text = self.body()
        if self.fault(name, key, "PUT"):
            return
        with lock:
            seen = counts[(key, "PUT")]
        with lock:
            cards = book(key)
            current = cards.get(self.path)
            if name == "precondition":
                self.answer(412, "")
                return
            if name == "small" and len(text.encode()) > 300:
                self.answer(413, "")
                return
            if self.headers.get("If-None-Match") == "*" and current is not None:
                self.answer(412, "")
                return
            match = self.headers.get("If-Match")
            if match is not None and (current is None or match != etag_of(current)):
                self.answer(412, "")
                return
            if name == "race" and match is not None and self.path not in raced:
                raced.add(self.path)
                cards[self.path] = current.replace("END:VCARD", "EMAIL:phone@example.com\r\nEND:VCARD")
                versions[key] += 1
                self.answer(412, "")
                return
            stored = text
            if name == "reserialize":
                stored = reserialized(text)
            elif name == "uid":
                stored = re.sub(r"(?m)^UID:.*$", "UID:server-made-uid\r", text.replace("\r\n", "\n")).replace("\n", "\r\n")
                stored = stored.replace("\r\r", "\r")
            cards[self.path] = stored
            versions[key] += 1
        if name == "putcut" and seen == 3:
            self.send_response(201)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"Created")
            self.wfile.flush()
            self.close_connection = True
            return
        changed = name in ("reserialize", "uid")
        headers = {} if changed else {"ETag": etag_of(stored)}
        self.answer(204 if current is not None else 201, "", headers)

    def do_DELETE(self):
        name, key = self.scenario()
        if self.fault(name, key, "DELETE"):
            return
        with lock:
            cards = book(key)
            current = cards.get(self.path)
            if current is None:
                self.answer(404, "")
                return
            if name == "precondition" or self.headers.get("If-Match") != etag_of(current):
                self.answer(412, "")
                return
            del cards[self.path]
            versions[key] += 1
        self.answer(204, "")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True


if __name__ == "__main__":
    if len(sys.argv) == 5:
        secure = Server(("127.0.0.1", int(sys.argv[2])), Handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[3], sys.argv[4])
        secure.socket = context.wrap_socket(secure.socket, server_side=True)
        threading.Thread(target=secure.serve_forever, daemon=True).start()
    Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()

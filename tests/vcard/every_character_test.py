#!/usr/bin/python3
"""Every character of a name goes in and comes out whole.

A UTF-8 vCard with rare name characters (刘䶮, 𬎆), an emoji with its
variation selector (妈妈❤️), Latin and Hangul names is imported with
txltool, dumped, exported in each vCard form and as both CSV files; Python's
vobject and csv (with glibc's iconv for GB 18030) read the exports, and every
export imported into a new book dumps as the first book did.
Argument: txltool.
"""
import csv
import io
import os
import subprocess
import sys
import tempfile

import vobject

NAMES = [("刘", "䶮"), ("𬎆", "𬎆"), ("妈", "妈"), ("Müller", "Hans"), ("김", "민준"), ("王", "𬀩")]
# A name field holds nine bytes: the emoji and its variation selector
# (eight bytes in the book) go in the nickname.
NICKNAME = "妈妈❤️"


def run(txltool, *args):
    result = subprocess.run([txltool, *args], capture_output=True)
    if result.returncode != 0:
        sys.exit(f"txltool {' '.join(args)} failed: {result.stderr.decode(errors='replace')}")
    return result.stdout


def from_gb18030(data):
    return subprocess.run(["iconv", "-f", "GB18030", "-t", "UTF-8"], input=data, capture_output=True,
                          check=True).stdout.decode("utf-8")


def names_in_dump(dump):
    return [tuple(line.split("\t")[1:3]) for line in dump.splitlines() if line.startswith("record\t")]


def without_ids(dump):
    return "".join(line for line in dump.splitlines(True) if not line.startswith("id\t"))


def check(condition, message):
    if not condition:
        sys.exit(message)


def main():
    txltool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        card = "".join(f"BEGIN:VCARD\r\nVERSION:3.0\r\nN:{s};{g};;;\r\nFN:{s}{g}\r\n" +
                       (f"NICKNAME:{NICKNAME}\r\n" if s == "妈" else "") + "END:VCARD\r\n" for s, g in NAMES)
        source = os.path.join(folder, "in.vcf")
        with open(source, "wb") as f:
            f.write(card.encode("utf-8"))
        book = os.path.join(folder, "book.txl")
        run(txltool, "import-vcf", book, source)
        dump = run(txltool, "dump", "--utf8", book).decode("utf-8")
        check(sorted(names_in_dump(dump)) == sorted(NAMES), f"the book holds {names_in_dump(dump)}")
        check("\t" + NICKNAME + "\t" in dump, "the nickname lost a character")
        # The book's own bytes are GB 18030, as glibc reads them.
        # A book without other information keeps no ids: each dump makes its own.
        check(without_ids(from_gb18030(run(txltool, "dump", book))) == without_ids(dump), "dump and dump --utf8 differ")

        exports = {}
        for encoding in ["plain", "utf8qp", "unicodeqp"]:
            path = os.path.join(folder, f"{encoding}.vcf")
            run(txltool, "export-vcf", book, path, "--one-file", "--encoding", encoding)
            exports[encoding] = path
        for encoding, decode in [("plain", from_gb18030), ("utf8qp", lambda data: data.decode("ascii"))]:
            with open(exports[encoding], "rb") as f:
                cards = list(vobject.readComponents(decode(f.read())))
            read = sorted((c.n.value.family, c.n.value.given) for c in cards)
            check(read == sorted(NAMES), f"vobject read {read} from the {encoding} export")
            nicknames = [c.nickname.value for c in cards if hasattr(c, "nickname")]
            check(nicknames == [NICKNAME], f"vobject read the nicknames {nicknames} from the {encoding} export")

        for utf8 in [False, True]:
            path = os.path.join(folder, "utf8.csv" if utf8 else "gb.csv")
            run(txltool, "export-csv", *(["--utf8"] if utf8 else []), book, path)
            with open(path, "rb") as f:
                data = f.read()
            check(data.startswith(b"\xEF\xBB\xBF") == utf8, "a byte-order mark only in the UTF-8 file")
            text = data.decode("utf-8-sig") if utf8 else from_gb18030(data)
            rows = list(csv.reader(io.StringIO(text, newline="")))
            read = sorted((r[0], r[1]) for r in rows[1:])
            check(read == sorted(NAMES), f"csv read {read} from {path}")
            check(NICKNAME in [cell for row in rows for cell in row], f"no nickname in {path}")
            exports[path] = path

        # Every export read back gives the same book.
        for name, path in exports.items():
            again = os.path.join(folder, "again.txl")
            if os.path.exists(again):
                os.remove(again)
            run(txltool, "import-csv" if path.endswith(".csv") else "import-vcf", again, path)
            check(without_ids(run(txltool, "dump", "--utf8", again).decode("utf-8")) == without_ids(dump),
                  f"{name} read back differs")
    print("ok")


main()

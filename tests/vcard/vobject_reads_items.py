#!/usr/bin/python3
"""A phone's card keeps what has no field, and Python's vobject reads it back.

A card as phones write it (three mobiles, a note of two lines, a website, a number
under a label of its own, a surname longer than its field, a UID) is
imported with txltool and exported in the form for phones; vobject must
find every number, the note, the website, the label on the number's
group, the whole surname and the same UID; in the plain (GB 18030) form too the
note keeps its two lines.
Argument: txltool.
"""
import os
import subprocess
import sys
import tempfile

import vobject

CARD = "\r\n".join([
    "BEGIN:VCARD", "VERSION:3.0", "UID:4f1c-phone-27", "N:Mustermann;Erika;;;", "FN:Erika Mustermann",
    "TEL;TYPE=CELL:13800000001", "TEL;TYPE=CELL:13800000002", "TEL;TYPE=CELL:13800000003",
    "item1.TEL:13900000000", "item1.X-ABLabel:微信", "NOTE:见面在展会\\n带名片", "URL:https://example.com/erika",
    "EMAIL;TYPE=HOME:erika@example.com", "EMAIL;TYPE=WORK:e.m@example.com", "END:VCARD", ""])


def main():
    txltool = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        source, book, cards = (os.path.join(work, n) for n in ("phone.vcf", "book.txl", "out.vcf"))
        with open(source, "w", encoding="utf-8", newline="") as f:
            f.write(CARD)
        subprocess.run([txltool, "import-vcf", book, source], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([txltool, "export-vcf", book, cards, "--one-file", "--encoding", "utf8qp"], check=True,
                       stdout=subprocess.DEVNULL)
        with open(cards, encoding="utf-8") as f:
            text = f.read()
        plain = os.path.join(work, "plain.vcf")
        subprocess.run([txltool, "export-vcf", book, plain, "--one-file", "--encoding", "plain"], check=True,
                       stdout=subprocess.DEVNULL)
        with open(plain, encoding="gb18030") as f:
            plain_text = f.read()
    card = vobject.readOne(text)
    failures = []
    plain_notes = [n.value.replace("\r\n", "\n") for n in vobject.readOne(plain_text).contents.get("note", [])]
    if plain_notes != ["见面在展会\n带名片"]:
        failures.append(f"the plain form's note: {plain_notes!r} in\n{plain_text}")

    def check(what, expected, actual):
        if expected != actual:
            failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    def values(name):
        return [c.value for c in card.contents.get(name, [])]

    check("numbers", ["13800000001", "13800000002", "13800000003", "13900000000"], sorted(values("tel")))
    check("note", ["见面在展会\n带名片"], [v.replace("\r\n", "\n") for v in values("note")])
    check("website", ["https://example.com/erika"], values("url"))
    check("e-mail addresses", ["e.m@example.com", "erika@example.com"], sorted(values("email")))
    check("uid", ["4f1c-phone-27"], values("uid"))
    check("whole surname", "Mustermann", card.n.value.family)
    labelled = [t for t in card.contents.get("tel", []) if t.group]
    check("one labelled number", 1, len(labelled))
    if labelled:
        labels = [l.value for l in card.contents.get("x-ablabel", []) if l.group == labelled[0].group]
        check("its label", ["微信"], labels)
        check("the labelled number", "13900000000", labelled[0].value)
    # The field's number as 2.1 writes it (TEL;CELL), the items' as phones read them (TEL;TYPE=CELL).
    mobiles = [t.value for t in card.contents.get("tel", [])
               if "CELL" in [p.upper() for p in t.params.get("TYPE", [])] + [p.upper() for p in t.singletonparams]]
    check("the mobiles typed for phones", 3, len(mobiles))
    for failure in failures:
        print("FAILED", failure)
    print(text if failures else "", f"vobject: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Python's vobject, an independent reader, reads the export for phones.

Contacts with Chinese text and the punctuation that troubles vCard
writers are imported from a CSV file with txltool, exported as UTF-8 QP
in one file, and vobject must give every field back; a birthday without
a year or a day in the forms of vCard's dates, which Python's own date
parsing reads; and no categories, as the contacts are in the first group.
Argument: txltool.
"""
import datetime
import os
import subprocess
import sys
import tempfile

import vobject

CONTACTS = [
    # surname, given, nickname, company, department, title, mobile, email,
    # work street, work city, birth year, month, day
    ["王", "小明", "小王", "北京科技;有限公司", "市场部", "经理\\主管", "138 0013 8000",
     "wang=xm@example.com", "中关村大街 27 号", "北京", "1990", "5", "17"],
    ["欧阳", "修", "", "Smith, Jones & Co", "", "V.P.", "+86-10-6088505", "", "a;b,c\\d", "", "", "", ""],
    ["李", "四", "阿四", "", "", "", "", "li@example.com", "", "上海", "1985", "3", "7"],
    ["赵", "六", "", "", "", "", "139", "", "", "", "", "4", "22"],
    ["钱", "七", "", "", "", "", "137", "", "", "", "1990", "5", ""],
]
TITLES = ["姓", "名", "昵称", "公司", "部门", "职务", "手机", "邮箱", "工作：街道", "工作：市", "出生年", "出生月",
          "出生日"]


def csv_line(cells):
    return ",".join('"' + c.replace('"', '""') + '"' if any(x in c for x in ',"\r\n') else c for c in cells)


def date_parts(text, form):
    """The parts a date of that form gives, or the text when it is none."""
    try:
        date = datetime.datetime.strptime(text, form)
    except ValueError:
        return text
    return (date.month, date.day) if form.startswith("--") else (date.year, date.month)


def main():
    txltool = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "in.csv")
        with open(source, "wb") as f:
            lines = [csv_line(TITLES)] + [csv_line(c) for c in CONTACTS]
            f.write(("\r\n".join(lines) + "\r\n").encode("gbk"))
        book = os.path.join(folder, "book.txl")
        cards = os.path.join(folder, "all.vcf")
        subprocess.run([txltool, "import-csv", book, source], check=True, stdout=subprocess.DEVNULL)
        subprocess.run([txltool, "export-vcf", book, cards, "--one-file", "--encoding", "utf8qp"], check=True,
                       stdout=subprocess.DEVNULL)
        with open(cards, encoding="utf-8") as f:
            read = list(vobject.readComponents(f.read()))

    failures = []

    def check(what, expected, actual):
        if expected != actual:
            failures.append(f"{what}: expected {expected!r}, got {actual!r}")

    check("cards", len(CONTACTS), len(read))
    for contact, card in zip(CONTACTS, read):
        surname, given, nickname, company, department, title, mobile, email, street, city, year, month, day = contact
        check("family name", surname, card.n.value.family)
        check("given name", given, card.n.value.given)
        def text(name):
            found = card.contents.get(name)
            return found[0].value if found else ""
        check("nickname", nickname, text("nickname"))
        # vobject leaves an empty last unit out.
        check("organisation", ([company, department] if department else [company]) if company or department else "",
              text("org"))
        check("title", title, text("title"))
        tels = {t.params.get("TYPE", [""])[0] if t.params.get("TYPE") else list(t.singletonparams)[0]: t.value
                for t in card.contents.get("tel", [])}
        check("mobile", mobile, tels.get("CELL", ""))
        check("e-mail", email, text("email"))
        adr = card.contents.get("adr", [None])[0]
        check("street", street, adr.value.street if adr else "")
        check("city", city, adr.value.city if adr else "")
        bday = text("bday")
        if year and day:
            check("birthday", f"{year}-{month}-{day}", bday)
        elif day:  # no year: --MMDD
            check("birthday", (int(month), int(day)), date_parts(bday, "--%m%d"))
        elif year:  # no day: YYYY-MM
            check("birthday", (int(year), int(month)), date_parts(bday, "%Y-%m"))
        else:
            check("birthday", "", bday)
        check("group", "", text("categories"))  # a CSV import puts every contact in the first group
    for failure in failures:
        print("FAILED", failure)
    print(f"vobject: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

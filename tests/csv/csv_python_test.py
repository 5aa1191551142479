"""Python's csv module as a spreadsheet stands in for one: it writes random
contacts (GBK, UTF-8 with and without the byte-order mark, every cell
quoted), txltool imports them and exports them again, and the csv module
must read the export, GBK, with 27 cells in every line and every value as
it wrote it.
Arguments: the command that runs txltool (under Wine for the Windows build).
"""
import csv
import os
import random
import subprocess
import sys
import tempfile

TITLES = ("姓,名,性别,出生年,出生月,出生日,QQ,邮箱,手机,昵称,住宅：国家,住宅：省,住宅：市,住宅：街道,"
          "住宅：邮编,住宅：电话,住宅：传真,工作：国家,工作：省,工作：市,工作：街道,工作：邮编,工作：电话,"
          "工作：传真,公司,部门,职务").split(",")
# The bytes each field keeps, as the book stores it (a cell keeps 50).
WIDTHS = [9, 9, 0, 4, 2, 3, 19, 50, 19, 19, 17, 19, 19, 49, 17, 19, 29, 17, 19, 19, 49, 17, 19, 29, 29, 13, 13]
GENDER = 2
CONTACTS = 6000  # a few megabytes: the export writes its file a megabyte at a time
ASCII = [chr(c) for c in range(0x20, 0x7F)]


def gbk_characters(hanzi_only):
    """Double-byte GBK characters that read back as themselves. The UTF-8
    files keep to the unified ideographs, which every GBK table maps alike."""
    found = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            try:
                c = bytes([lead, trail]).decode("gbk")
            except UnicodeDecodeError:
                continue
            if len(c) != 1 or c.encode("gbk") != bytes([lead, trail]) or 0xE000 <= ord(c) <= 0xF8FF:
                continue
            if not hanzi_only or 0x4E00 <= ord(c) <= 0x9FA5:
                found.append(c)
    return found


def random_text(rng, width, wide):
    """Up to `width` GBK bytes of ASCII (punctuation, quotes and spaces
    included) and double-byte characters, at times with outer spaces."""
    limit = rng.choice([0, rng.randint(1, width), width]) if width else 0
    text = ""
    while len(text.encode("gbk")) < limit:
        c = rng.choice(wide) if rng.random() < 0.5 else rng.choice(ASCII)
        if len((text + c).encode("gbk")) <= limit:
            text += c
        elif limit - len(text.encode("gbk")) == 1:
            text += rng.choice(ASCII)
    if text and rng.random() < 0.2:
        text = " " + text[1:]
    if text and rng.random() < 0.2:
        text = text[:-1] + " "
    return text


def random_contact(rng, wide):
    contact = [random_text(rng, width, wide) for width in WIDTHS]
    contact[GENDER] = rng.choice(["男", "女"])
    if not contact[0]:
        contact[0] = "张"  # a line without a surname is not imported
    return contact


def check(problems, name, expected, actual):
    if expected != actual:
        problems.append(f"{name}: expected {expected!r}, got {actual!r}")


def round_trip(txltool, encoding, wide, rng, problems):
    contacts = [random_contact(rng, wide) for _ in range(CONTACTS)]
    book = f"{encoding}.txl"
    with open(f"{encoding}.csv", "w", encoding=encoding, newline="") as f:
        writer = csv.writer(f, quoting=csv.QUOTE_ALL)
        writer.writerow(TITLES)
        writer.writerows(contacts)
    for args in (["import-csv", book, f"{encoding}.csv"], ["export-csv", book, f"{encoding}_out.csv"]):
        done = subprocess.run(txltool + args, capture_output=True)
        if done.returncode != 0:
            problems.append(f"{' '.join(args)} exited {done.returncode}: {done.stderr!r}")
            return
    with open(f"{encoding}_out.csv", encoding="gbk", newline="") as f:
        rows = list(csv.reader(f))
    check(problems, f"{encoding}: lines", CONTACTS + 1, len(rows))
    check(problems, f"{encoding}: header", TITLES, rows[0] if rows else None)
    for n, (contact, row) in enumerate(zip(contacts, rows[1:])):
        check(problems, f"{encoding}: cells of contact {n}", 27, len(row))
        for f, (value, cell) in enumerate(zip(contact, row)):
            check(problems, f"{encoding}: contact {n}, field {f}", value, cell)


def main():
    txltool = sys.argv[1:]
    rng = random.Random(20240612)
    all_gbk, hanzi = gbk_characters(False), gbk_characters(True)
    problems = []
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        round_trip(txltool, "gbk", all_gbk, rng, problems)
        round_trip(txltool, "utf-8", hanzi, rng, problems)
        round_trip(txltool, "utf-8-sig", hanzi, rng, problems)
    for problem in problems[:20]:
        print("FAILED", problem)
    print(f"csv module: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())

"""Python's csv module writes a Google Contacts export whose columns have
no field (a second mobile, a second e-mail address, a website, a note, a
relation, a messaging name, a custom field, a note of two lines); txltool
imports it and exports it again. The csv module must find every value in
the columns after the 27, the note's line break inside its cell, and the export
imported once more must give the same items; the dump shows the line break
as \\n.
Arguments: the command that runs txltool (under Wine for the Windows build).
"""
import csv
import os
import subprocess
import sys
import tempfile

HEADER = ["First Name", "Last Name", "Phone 1 - Label", "Phone 1 - Value", "Phone 2 - Label", "Phone 2 - Value",
          "E-mail 1 - Label", "E-mail 1 - Value", "E-mail 2 - Label", "E-mail 2 - Value", "Website 1 - Label",
          "Website 1 - Value", "Notes", "Relation 1 - Label", "Relation 1 - Value", "IM 1 - Label",
          "IM 1 - Service", "IM 1 - Value", "Custom Field 1 - Label", "Custom Field 1 - Value"]
ROW = ["Erika", "Mustermann", "Mobile", "138 0000 0001 ::: 138 0000 0002", "微信", "139 0000 0000", "Home",
       "erika@example.com", "Work", "e.m@example.com", "Profile", "https://example.com/erika",
       "见面在展会, 带\"名片\"\n第二行", "Spouse", "Max", "Work", "Skype", "erika.m", "紧急联系人", "110"]
EXPECTED = {"138 0000 0002", "139 0000 0000", "微信", "e.m@example.com", "https://example.com/erika",
            "见面在展会, 带\"名片\"\n第二行", "Max", "Spouse", "Skype", "erika.m", "紧急联系人", "110", "Mustermann"}


def main():
    txltool = sys.argv[1:]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        def path(name):
            return os.path.join(work, name)

        with open(path("google.csv"), "w", encoding="utf-8-sig", newline="") as f:
            writer = csv.writer(f, quoting=csv.QUOTE_ALL)
            writer.writerow(HEADER)
            writer.writerow(ROW)
        subprocess.run(txltool + ["import-csv", path("a.txl"), path("google.csv")], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(txltool + ["export-csv", path("a.txl"), path("out.csv")], check=True, stdout=subprocess.DEVNULL)
        with open(path("out.csv"), encoding="gbk", newline="") as f:
            rows = list(csv.reader(f))
        if len(rows) != 2 or len(rows[0]) != len(rows[1]) or len(rows[0]) <= 27:
            failures.append(f"an export with items has more than 27 columns in every line: {rows!r}")
        else:
            cells = dict(zip(rows[0], rows[1]))
            missing = EXPECTED - set(rows[1])
            if missing:
                failures.append(f"values missing from the export: {sorted(missing)} in {cells!r}")
            if cells.get("姓") != "Mustermann":
                failures.append(f"the surname is written whole: {cells.get('姓')!r}")
        subprocess.run(txltool + ["import-csv", path("b.txl"), path("out.csv")], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def details(book):
            out = subprocess.run(txltool + ["dump", path(book)], check=True, capture_output=True).stdout
            lines = out.replace(b"\r\n", b"\n").decode("gbk").splitlines()
            return [l for l in lines if l.startswith(("item\t", "whole\t", "record\t"))]

        first, second = details("a.txl"), details("b.txl")
        if not any(l.startswith("item\tnote\t") and l.endswith("\t见面在展会, 带\"名片\"\\n第二行") for l in first):
            failures.append(f"the dump shows the note's line break escaped: {first}")
        if first != second:
            failures.append(f"the export imported again differs:\n{first}\n{second}")
    for failure in failures:
        print("FAILED", failure)
    print(f"csv items: {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

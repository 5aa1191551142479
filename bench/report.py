#!/usr/bin/python3
"""Prints the table of one tools/bench.sh run, in Markdown, from the files
it left in the results folder, with the machine it ran on.

    report.py RESULTS_FOLDER
"""
import json
import os
import re
import statistics
import subprocess
import sys

MS = 1000.0  # microseconds in a millisecond


def core_medians(path):
    """Benchmark name -> (wall us, cpu us), medians of the repetitions."""
    with open(path) as f:
        data = json.load(f)
    scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
    out = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"]
        if b.get("label"):
            name += " " + b["label"]
        k = scale[b["time_unit"]]
        out[name] = (b["real_time"] * k, b["cpu_time"] * k)
    return out


def read(folder, name):
    with open(os.path.join(folder, name)) as f:
        return f.read()


def wine_medians(text):
    """Label -> median milliseconds, from the Wine timing programs' lines."""
    out = {}
    for line in text.splitlines():
        m = re.match(r"(.+?)\s+best\s+([\d.]+) ms\s+median\s+([\d.]+) ms", line)
        if m:
            out[m.group(1).strip()] = float(m.group(3))
    return out


def command(*args):
    try:
        return subprocess.run(args, capture_output=True, text=True).stdout.strip().splitlines()[0]
    except (OSError, IndexError):
        return "unknown"


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory = int(f.readline().split()[1]) / 1024 / 1024
    system = "unknown"
    with open("/etc/os-release") as f:
        for line in f:
            if line.startswith("PRETTY_NAME="):
                system = line.split("=", 1)[1].strip().strip('"')
    return [
        ("Processors (nproc)", str(os.cpu_count())),
        ("CPU", cpu),
        ("Memory", f"{memory:.1f} GiB"),
        ("System", f"{system}, Linux {os.uname().release}"),
        ("Native compiler", command("g++", "--version")),
        ("Windows compiler", command("x86_64-w64-mingw32-g++-posix", "--version")),
        ("Wine", command("wine", "--version")),
        ("Python, vobject", command("/usr/bin/python3", "--version") + ", vobject " +
         command("dpkg-query", "-W", "-f=${Version}", "python3-vobject")),
        ("Google Benchmark", command("dpkg-query", "-W", "-f=${Version}", "libbenchmark-dev")),
        ("Load average at the end", " ".join(open("/proc/loadavg").read().split()[:3])),
    ]


def main():
    folder = sys.argv[1]
    core = core_medians(os.path.join(folder, "core.json"))
    ram = core_medians(os.path.join(folder, "core-ram.json"))
    compare = {}
    for line in read(folder, "compare.txt").splitlines():
        fields = line.split()
        compare[fields[0]] = {k: float(v) for k, v in (f.split("=") for f in fields[1:])}
    refresh = wine_medians(read(folder, "refresh.txt"))
    startup = wine_medians(read(folder, "startup.txt"))
    starts = {"warm": [], "cold": []}
    for line in read(folder, "wine-start.txt").splitlines():
        state, us = line.split()
        starts[state].append(int(us) / MS)
    size = int(read(folder, "size.txt"))

    rows = []

    def row(what, wall_ms, cpu_ms=None, target="", met=None):
        cpu = "" if cpu_ms is None else f"{cpu_ms:.3f}"
        verdict = "" if met is None else ("yes" if met else "**no**")
        rows.append(f"| {what} | {wall_ms:.3f} | {cpu} | {target} | {verdict} |")

    def core_row(name, what, target_ms=None, source=core):
        if name not in source:
            return
        wall, cpu = source[name]
        if target_ms is None:
            row(what, wall / MS, cpu / MS)
        else:
            row(what, wall / MS, cpu / MS, f"< {target_ms} ms", wall / MS < target_ms)

    core_row("ReadAddressBook/512", "ReadAddressBook, 512 full records", 2)
    core_row("WriteAddressBook/512", "WriteAddressBook, 512 full records, on the disk", 2)
    core_row("WriteAddressBook/512", "WriteAddressBook, 512 full records, on a RAM disk", 2, ram)
    core_row("EncodeAddressBook/512", "  of which the bytes of the book, in memory")
    core_row("ReadVcardFile/512", "ReadVcardFile, 512 cards (mixed encodings)")
    core_row("CountVcardLines/512", "  the same file read and its lines counted, in process")
    core_row("ReadPhoneVcardFile/512", "ReadVcardFile, 512 cards as a phone writes them (3.0, UTF-8, photos)")
    for encoding, label in enumerate(["plain", "UTF-8 QP", "Unicode QP"]):
        core_row(f"ExportVcardFiles/512/{encoding}", f"ExportVcardFiles, 512 files, {label}, on the disk")
        core_row(f"ExportVcardFiles/512/{encoding}", f"ExportVcardFiles, 512 files, {label}, on a RAM disk",
                 source=ram)
    core_row("ImportCsvFile/512", "ImportCsvFile, 512 contacts")
    core_row("ImportGoogleCsvFile/512", "ImportCsvFile, a Google export of 512 contacts")
    core_row("ExportCsvFile/512", "ExportCsvFile, 512 contacts, on the disk")
    core_row("ExportCsvFile/512", "ExportCsvFile, 512 contacts, on a RAM disk", source=ram)
    for name in sorted(n for n in core if n.startswith("FilterPass/")):
        label = name.split(" ", 1)[1]
        shown = {"surname": "张", "digits": "12", "letters": "ab", "nowhere": "冇, found nowhere", "initials": "zs",
                 "pinyin": "zhangs", "phone": "138-0013"}.get(label, label)
        core_row(name, f"Filter pass over 512 records, all fields, search \"{shown}\"", 0.5)

    read_wall, read_cpu = core["ReadVcardFile/512"]
    vob, wc = compare["vobject"], compare["wc-l"]
    row("Python vobject, the same 512 cards into objects", vob["wall_us"] / MS, vob["cpu_us"] / MS)
    row("`wc -l` of the same file, as a process", wc["wall_us"] / MS)
    phone = compare.get("vobject-phone")
    if phone:
        row("Python vobject, the phone's 512 cards into objects", phone["wall_us"] / MS, phone["cpu_us"] / MS)

    def ms(label, source):
        return source.get(label)

    refresh_ms = ms("every contact shown", refresh)
    if refresh_ms is not None:
        row("Under Wine: RefreshList, 512 contacts, 18 columns", refresh_ms, None, "≤ 16 ms", refresh_ms <= 16)
    painted = ms("every contact shown, then painted", refresh)
    if painted is not None:
        row("Under Wine: RefreshList and the paint of the list", painted)
    for search in ("pinyin search", "digit search", "every row or none"):
        keystroke = ms(f"keystroke to painted list, {search}", refresh)
        if keystroke is not None:
            row(f"Under Wine: a keystroke to the painted list, {search}", keystroke, None, "≤ 16 ms",
                keystroke <= 16)
    program = ms("Corvelle, 512 contacts, start to painted list", startup)
    window = ms("empty window, start to first paint", startup)
    empty = ms("empty program, start to end", startup)
    if empty is not None:
        row("Under Wine: an empty program, start to end", empty)
    if window is not None:
        row("Under Wine: an empty window, start to first paint", window)
    no_book = ms("Corvelle, no book, start to painted window", startup)
    if no_book is not None:
        row("Under Wine: Corvelle without a book, start to painted window", no_book)
    if program is not None:
        row("Under Wine: Corvelle, 512-contact book, start to painted list", program, None, "≤ 500 ms",
            program <= 500)
    if program is not None and window is not None:
        row("  of which Corvelle's own (less the empty window)", program - window)
    for state in ("warm", "cold"):
        if starts[state]:
            row(f"Wine from the shell, empty program, wineserver {state}", statistics.median(starts[state]))

    print("| Measure | Median wall ms | Median CPU ms | Target | Met |")
    print("|---|---:|---:|---|---|")
    for r in rows:
        print(r)
    print()
    print("| Ratio | Value | Target | Met |")
    print("|---|---:|---|---|")
    speedup = vob["wall_us"] / read_wall
    print(f"| vobject / ReadVcardFile, wall time | {speedup:.0f}x | ≥ 50x | {'yes' if speedup >= 50 else '**no**'} |")
    print(f"| vobject / ReadVcardFile, CPU time | {vob['cpu_us'] / read_cpu:.0f}x | | |")
    if phone and "ReadPhoneVcardFile/512" in core:
        phone_wall, _ = core["ReadPhoneVcardFile/512"]
        ratio = phone["wall_us"] / phone_wall
        print(f"| vobject / ReadVcardFile, the phone's file, wall time | {ratio:.0f}x | ≥ 50x | "
              f"{'yes' if ratio >= 50 else '**no**'} |")
    floor = read_wall / wc["wall_us"]
    print(f"| ReadVcardFile / `wc -l`, wall time | {floor:.1f}x | ≤ 20x | {'yes' if floor <= 20 else '**no**'} |")
    count_wall, count_cpu = core["CountVcardLines/512"]
    print(f"| ReadVcardFile / in-process line count, CPU time | {read_cpu / count_cpu:.1f}x | | |")
    print(f"| Corvelle.exe, release | {size} bytes ({size / 1024:.0f} KiB) | ≤ 1 MiB | "
          f"{'yes' if size <= 1 << 20 else '**no**'} |")
    print()
    print("| Machine | |")
    print("|---|---|")
    for name, value in machine():
        print(f"| {name} | {value} |")


if __name__ == "__main__":
    main()

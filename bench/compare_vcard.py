#!/usr/bin/python3
"""The other readers of the 512-card file, timed in the same run as
Corvelle's: Python's vobject parsing it into objects, and `wc -l` counting
its lines, the floor of reading the file at all.

    compare_vcard.py FILE [REPEATS [PHONE_FILE]]

Prints one line per reader with the medians of wall-clock and CPU time in
microseconds. The file is GBK, so each vobject run decodes it first; the
interpreter's start and the import of vobject are not counted. `wc -l` is
timed as the process it is, from its start to its end.
"""
import os
import statistics
import subprocess
import sys
import time

import vobject


def parse(data, encoding="gbk"):
    text = data.decode(encoding, errors="replace")
    return list(vobject.readComponents(text, ignoreUnreadable=True))


def time_vobject(data, repeats, encoding="gbk"):
    cards = parse(data, encoding)  # once to warm up, and to check what it read
    wall, cpu = [], []
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        parse(data, encoding)
        wall.append(time.perf_counter() - start)
        cpu.append(time.process_time() - start_cpu)
    return len(cards), statistics.median(wall), statistics.median(cpu)


def time_wc(path, repeats):
    wall, cpu = [], []
    lines = 0
    for _ in range(repeats):
        before = os.times()
        start = time.perf_counter()
        out = subprocess.run(["wc", "-l", path], check=True, capture_output=True).stdout
        wall.append(time.perf_counter() - start)
        after = os.times()
        cpu.append(after.children_user - before.children_user + after.children_system - before.children_system)
        lines = int(out.split()[0])
    return lines, statistics.median(wall), statistics.median(cpu)


def main():
    path = sys.argv[1]
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    with open(path, "rb") as f:
        data = f.read()
    cards, wall, cpu = time_vobject(data, repeats)
    print(f"vobject cards={cards} wall_us={wall * 1e6:.0f} cpu_us={cpu * 1e6:.0f}")
    lines, wall, cpu = time_wc(path, max(repeats, 21))
    print(f"wc-l lines={lines} wall_us={wall * 1e6:.0f} cpu_us={cpu * 1e6:.0f}")
    if len(sys.argv) > 3:
        # The phone's file is UTF-8, as phones write it.
        with open(sys.argv[3], "rb") as f:
            cards, wall, cpu = time_vobject(f.read(), repeats, "utf-8")
        print(f"vobject-phone cards={cards} wall_us={wall * 1e6:.0f} cpu_us={cpu * 1e6:.0f}")


if __name__ == "__main__":
    main()

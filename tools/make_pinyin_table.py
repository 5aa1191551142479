#!/usr/bin/python3
"""Writes store/pinyin_table.cpp: the Mandarin readings of every character
of the book's encoding, GB 18030-2022, which the quick search and the sort
by name compile in: by two-byte code for the characters of GBK, and as a
sorted list of four-byte codes for the rest (CJK Extension A and beyond).

    tools/make_pinyin_table.py [Unihan_Readings.txt.bz2 [GB18030.gz]] > store/pinyin_table.cpp

The two-byte codes are read as glibc's GB 18030 map has them (see
make_gb18030_table.py), so FE 9F is 䶮.

The readings come from the Unicode Han Database as Debian's unicode-data
package ships it (/usr/share/unicode/Unihan_Readings.txt.bz2): kMandarin,
its customary reading first, then the readings of kTGHZ2013 (the 2013
standard dictionary) where that has the character. kXHC1983 is left out:
it carries rare readings (广 "an") that would only find wrong contacts.
Tones are dropped; ü is kept apart and written "v".

The surnames whose reading differs from the everyday one follow Unicode
CLDR's rules for Chinese names, with 朴 and 覃 added.

The output holds data derived from the Unicode Character Database, so the
Unicode licence notice that comes with that package
(/usr/share/doc/unicode-data/copyright, UNICODE_NOTICE below) is copied
into it.
"""
import bz2
import os
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_gb18030_table  # noqa: E402

SOURCE = "/usr/share/unicode/Unihan_Readings.txt.bz2"

# At the start of a name a surname is read thus, whatever its everyday
# reading; the compound surnames read their two characters together.
SURNAME_READINGS = [
    ("单", "shan"), ("区", "ou"), ("解", "xie"), ("查", "zha"), ("尉", "yu"), ("乐", "yue"),
    ("盖", "ge"), ("华", "hua"), ("任", "ren"), ("沈", "shen"), ("种", "chong"), ("重", "chong"),
    ("秘", "bi"), ("召", "shao"), ("折", "she"), ("纪", "ji"), ("繁", "po"), ("朴", "piao"),
    ("覃", "qin"), ("曾", "zeng"), ("仇", "qiu"), ("翟", "zhai"), ("长", "chang"),
    ("万俟", "mo qi"), ("令狐", "ling hu"), ("澹台", "tan tai"), ("长孙", "zhang sun"),
    ("尉迟", "yu chi"), ("单于", "chan yu"),
]

UNICODE_NOTICE = """\
EXHIBIT 1
UNICODE, INC. LICENSE AGREEMENT - DATA FILES AND SOFTWARE

 Unicode Data Files include all data files under the directories
http://www.unicode.org/Public/ and http://www.unicode.org/reports/.
Unicode Software includes any source code published in the Unicode Standard or
under the directories http://www.unicode.org/Public/ and
http://www.unicode.org/reports/.

NOTICE TO USER: Carefully read the following legal agreement. BY DOWNLOADING,
INSTALLING, COPYING OR OTHERWISE USING UNICODE INC.'S DATA FILES ("DATA FILES"),
AND/OR SOFTWARE ("SOFTWARE"), YOU UNEQUIVOCALLY ACCEPT, AND AGREE TO BE BOUND BY,
ALL OF THE TERMS AND CONDITIONS OF THIS AGREEMENT. IF YOU DO NOT AGREE,
DO NOT DOWNLOAD, INSTALL, COPY, DISTRIBUTE OR USE THE DATA FILES OR SOFTWARE.

	    COPYRIGHT AND PERMISSION NOTICE

Copyrigh © 1991-2005 Unicode, Inc. All rights reserved.
Distributed under the Terms of Use in http://www.unicode.org/copyright.html.

Permission is hereby granted, free of charge, to any person obtaining a copy
of the Unicode data files and any associated documentation (the "Data Files")
or Unicode software and any associated documentation (the "Software") to deal
in the Data Files or Software without restriction, including without limitation
the rights to use, copy, modify, merge, publish, distribute, and/or sell copies
 of the Data Files or Software, and to permit persons to whom the Data Files
or Software are furnished to do so, provided that (a) the above copyright notice(s)
and this permission notice appear with all copies of the Data Files or Software,
(b) both the above copyright notice(s) and this permission notice appear
in associated documentation, and (c) there is clear notice in each modified
Data File or in the Software as well as in the documentation associated with
the Data File(s) or Software that the data or software has been modified.

THE DATA FILES AND SOFTWARE ARE PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND,
EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY,
FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT OF THIRD PARTY RIGHTS.
IN NO EVENT SHALL THE COPYRIGHT HOLDER OR HOLDERS INCLUDED IN THIS NOTICE BE LIABLE
 FOR ANY CLAIM, OR ANY SPECIAL INDIRECT OR CONSEQUENTIAL DAMAGES, OR ANY DAMAGES
WHATSOEVER RESULTING FROM LOSS OF USE, DATA OR PROFITS, WHETHER IN AN ACTION OF
CONTRACT, NEGLIGENCE OR OTHER TORTIOUS ACTION, ARISING OUT OF OR IN CONNECTION
WITH THE USE OR PERFORMANCE OF THE DATA FILES OR SOFTWARE.

Except as contained in this notice, the name of a copyright holder shall not be used
 in advertising or otherwise to promote the sale, use or other dealings in these
Data Files or Software without prior written authorization of the copyright holder.

Unicode and the Unicode logo are trademarks of Unicode, Inc., and may be registered
 in some jurisdictions. All other trademarks and registered trademarks mentioned
herein are the property of their respective owners."""

FIRST_LEAD, LAST_LEAD = 0x81, 0xFE
FIRST_TRAIL, LAST_TRAIL = 0x40, 0xFE
TRAILS = LAST_TRAIL - FIRST_TRAIL + 1


def plain(reading):
    """A reading without its tone: lowercase ASCII, ü as v; None if odd."""
    out = []
    for c in unicodedata.normalize("NFD", reading.lower()):
        if c == "\u0308":  # the diaeresis of ü
            if not out or out[-1] != "u":
                return None
            out[-1] = "v"
        elif unicodedata.combining(c):
            continue  # a tone mark, or the circumflex of ê
        elif "a" <= c <= "z":
            out.append(c)
        else:
            return None
    return "".join(out) or None


def read_unihan(path):
    mandarin, tghz = {}, {}
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            code, field, value = line.rstrip("\n").split("\t", 2)
            char = chr(int(code[2:], 16))
            if field == "kMandarin":
                mandarin[char] = value.split()
            elif field == "kTGHZ2013":
                # "212.030:lè 453.020:yuè": page and position, then the reading
                tghz[char] = [entry.split(":", 1)[1] for entry in value.split()]
    return mandarin, tghz


def readings_of(char, mandarin, tghz):
    out = []
    for reading in mandarin.get(char, []) + tghz.get(char, []):
        syllable = plain(reading)
        if syllable and syllable not in out:
            out.append(syllable)
    return out


def four_byte_counts(four):
    """The four-byte count of every character that has a four-byte code."""
    counts = {chr(char): count for count, char in four.items()}
    return counts


def c_bytes(text):
    return '"' + "".join(f"\\x{b:02X}" for b in text.encode("gbk")) + '"'


def main():
    mandarin, tghz = read_unihan(sys.argv[1] if len(sys.argv) > 1 else SOURCE)
    two, four = make_gb18030_table.read_map(sys.argv[2] if len(sys.argv) > 2 else make_gb18030_table.SOURCE)
    syllables = set()
    per_code = []
    for lead in range(FIRST_LEAD, LAST_LEAD + 1):
        for trail in range(FIRST_TRAIL, LAST_TRAIL + 1):
            code = two.get((lead, trail)) if trail != 0x7F else None
            char = chr(code) if code else None
            readings = readings_of(char, mandarin, tghz) if char else []
            per_code.append(tuple(readings))
            syllables.update(readings)
    two_byte_characters = {chr(c) for c in two.values()}
    counts = four_byte_counts(four)
    supplementary_first = make_gb18030_table.linear(bytes([0x90, 0x30, 0x81, 0x30]))
    per_four = []  # (count, readings)
    for char in sorted(set(mandarin) | set(tghz)):
        if char in two_byte_characters:
            continue
        readings = readings_of(char, mandarin, tghz)
        if not readings:
            continue
        count = counts.get(char)
        if count is None and ord(char) > 0xFFFF:
            count = supplementary_first + ord(char) - 0x10000
        if count is None:
            continue
        per_four.append((count, tuple(readings)))
        syllables.update(readings)
    per_four.sort()
    for _, reading in SURNAME_READINGS:
        syllables.update(reading.split())
    syllables = sorted(syllables)
    number = {s: i for i, s in enumerate(syllables)}

    sets = [()]  # set 0: no readings
    set_number = {(): 0}
    for readings in per_code + [r for _, r in per_four]:
        if readings not in set_number:
            set_number[readings] = len(sets)
            sets.append(readings)

    out = []
    w = out.append

    def array(declaration, values, per_line=16):
        w(declaration + " = {")
        for i in range(0, len(values), per_line):
            w("    " + " ".join(f"{v}," for v in values[i:i + per_line]))
        w("};")

    w("// Generated by tools/make_pinyin_table.py from the Unicode Han Database")
    w("// (Unihan_Readings.txt of Unicode 15.0.0, as Debian's unicode-data ships it):")
    w("// kMandarin, then kTGHZ2013; tones dropped, ü written v. Do not edit; run")
    w("// the script again.")
    w("//")
    for line in UNICODE_NOTICE.splitlines():
        w(("// " + line).rstrip())
    w("//")
    w("// This file is a modified form of the Data Files: the readings of the")
    w("// characters of GB 18030, without tones, arranged as tables.")
    w('#include "store/pinyin_table.h"')
    w("")
    w(f"const int PinyinSyllableCount = {len(syllables)};")
    array("const char PinyinSyllables[][PinyinSyllableCapacity]", [f'"{s}"' for s in syllables], 10)
    w("")
    w("// The readings of set n are ReadingSetSyllables[ReadingSetStart[n]] up to")
    w("// ReadingSetStart[n + 1]; the customary reading comes first.")
    w(f"const int ReadingSetCount = {len(sets)};")
    starts, flat = [], []
    for readings in sets:
        starts.append(len(flat))
        flat.extend(number[s] for s in readings)
    starts.append(len(flat))
    array("const uint16_t ReadingSetStart[]", starts)
    array("const uint16_t ReadingSetSyllables[]", flat)
    w("")
    w("// The reading set of every double-byte GBK code, lead byte by lead byte.")
    array("const uint16_t ReadingSetOfGbk[GbkCodeCount]", [set_number[r] for r in per_code])
    w("")
    w("// The four-byte codes with readings (counted from 81 30 81 30), rising,")
    w("// and the reading set of each.")
    w(f"const int FourByteReadingCount = {len(per_four)};")
    array("const uint32_t FourByteReadingCodes[]", [c for c, _ in per_four], 10)
    array("const uint16_t FourByteReadingSets[]", [set_number[r] for _, r in per_four])
    w("")
    w("const SurnameReading SurnameReadings[] = {")
    for surname, reading in SURNAME_READINGS:
        ids = [number[s] for s in reading.split()]
        ids += [0] * (2 - len(ids))
        w(f"    {{{c_bytes(surname)}, {len(surname)}, {{{ids[0]}, {ids[1]}}}}},  // {surname} {reading}")
    w("};")
    w(f"const int SurnameReadingCount = {len(SURNAME_READINGS)};")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# txltool import-vcf and export-vcf as a script uses them. Arguments: the
# command that runs txltool (under Wine for the Windows build, for example
# "wine-run.sh txltool.exe").
source "$(dirname "$0")/script_checks.sh"

# The records of a book, one line each, in UTF-8: surname, given name and
# the field numbers asked for (3 gender, 9 mobile, 25 company...).
records() {  # records BOOK [FIELD...]
    local book=$1
    shift
    local fields="2,3"
    for f in "$@"; do fields="$fields,$((f + 1))"; done
    run dump "$book" | iconv -f GBK -t UTF-8 | grep -a '^record' | cut -f "$fields"
}

# A card of UTF-8 lines, written as GBK with CR LF line ends.
card() {
    printf 'BEGIN:VCARD\r\nVERSION:2.1\r\n'
    for line in "$@"; do printf '%s\r\n' "$line" | iconv -f UTF-8 -t GBK; done
    printf 'END:VCARD\r\n'
}

# One file, a QP-encoded name and a nameless card.
{
    card 'N:张;三' 'TEL;CELL:13800000000' 'X-WAB-GENDER:1'
    card 'N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E6=9D=8E;=E5=9B=9B' 'ORG:Acme;Sales'
    card 'X-QQ:999'
} > two.vcf
out=$(run import-vcf book.txl two.vcf)
check "import-vcf exits 0" 0 $?
check "import-vcf reports what it imported" $'imported\t2' "$out"
check "import-vcf creates the book" $'张\t三\t1\t13800000000\n李\t四\t0\t' "$(records book.txl 3 9)"
check "imported contacts are in group 0" "0" "$(run dump book.txl | grep -a '^record' | head -n 1 | cut -f 29)"

# A directory: every .vcf in name order, whatever the case of the extension.
mkdir cards
card 'N:Bai;B' > cards/b.VCF
card 'N:An;A' > cards/a.vcf
card 'N:Chen;C' > cards/C.Vcf
card 'N:Txt;T' > cards/d.txt
out=$(run import-vcf book.txl cards)
check "import-vcf of a directory" $'imported\t3' "$out"
check "directory files are read in name order" $'An\tA\nBai\tB\nChen\tC' "$(records book.txl | tail -n 3)"

# Nothing new: the book is not written again; a missing book is not created.
before=$(od -An -tx1 book.txl | tr -d ' \n')
card 'X-QQ:999' > nameless.vcf
out=$(run import-vcf book.txl nameless.vcf)
check "importing nothing exits 0" 0 $?
check "importing nothing leaves the book alone" "$before" "$(od -An -tx1 book.txl | tr -d ' \n')"
run import-vcf fresh.txl nameless.vcf > /dev/null
check "importing nothing creates no book" "no" "$( [ -e fresh.txl ] && echo yes || echo no )"

# A path that cannot be read: its message and status 1, the rest imported.
out=$(run import-vcf other.txl missing.vcf cards/a.vcf 2> err.txt)
check "an unreadable path exits 1" 1 $?
check "the other paths are still imported" $'An\tA' "$(records other.txl)"
check "an unreadable path is named" "yes" "$(grep -q 'missing.vcf: cannot be read' err.txt && echo yes || echo no)"

# A phone's export of 639 contacts comes in whole, past the 512 that
# older versions stopped at.
for i in $(seq 1 639); do
    printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;%s;;;\r\n' "$i"
    printf 'TEL;CELL;PREF:1380013%04d\r\nCATEGORIES:My Contacts\r\nEND:VCARD\r\n' "$i"
done > phone.vcf
out=$(run import-vcf phone.txl phone.vcf 2> err.txt)
check "a phone's 639 contacts are imported" $'imported\t639' "$out"
check "nothing is left out" "" "$(cat err.txt)"
check "the 639 contacts read back" "639" "$(records phone.txl | wc -l | tr -d ' ')"

# The same file again adds nothing, and says so on standard error.
out=$(run import-vcf book.txl two.vcf 2> err.txt)
check "importing the same file again exits 0" 0 $?
check "importing the same file again adds nothing" $'imported\t0' "$out"
check "the contacts skipped are counted" "yes" "$(grep -q '2 contacts skipped' err.txt && echo yes || echo no)"
check "the book keeps its contacts" "5" "$(records book.txl | wc -l | tr -d ' ')"

# Export: one file per contact, plain by default, duplicate names numbered.
{
    card 'N:张;三' 'TEL;CELL:13800000001'
    card 'N:李;四' 'X-QQ:10001'
} > namesakes.vcf
run import-vcf book.txl namesakes.vcf > /dev/null
mkdir out
out=$(run export-vcf book.txl out)
check "export-vcf exits 0" 0 $?
check "export-vcf reports what it wrote" $'written\t7' "$out"
check "one file per contact" "AnA.vcf BaiB.vcf ChenC.vcf 张三(2).vcf 张三.vcf 李四(2).vcf 李四.vcf" \
    "$(cd out && ls | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//')"
expected=$(printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN:张;三\r\nX-WAB-GENDER:1\r\nORG:;\r\nTITLE:\r\nTEL;WORK:\r\nTEL;HOME:\r\nTEL;WORK;FAX:\r\nTEL;HOME;FAX:\r\nTEL;CELL:13800000000\r\nADR;WORK:;;;;;;\r\nADR;HOME:;;;;;;\r\nEMAIL;PREF;INTERNET:\r\nX-QQ:\r\nBDAY:--\r\nEND:VCARD' | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n')
# The UID, made at the import, differs from run to run.
check "a plain file, byte for byte" "$expected" "$(sed '/^UID:[0-9a-f]*\r$/d' 'out/张三.vcf' | od -An -tx1 | tr -d ' \n')"

mkdir utf8 unicode
run export-vcf book.txl utf8 --encoding utf8qp > /dev/null
check "utf8qp names" "N;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:=E6=9D=8E;=E5=9B=9B" "$(sed -n 3p 'utf8/李四.vcf' | tr -d '\r')"
run export-vcf --encoding unicodeqp book.txl unicode > /dev/null
check "unicodeqp names" "N;ENCODING=QUOTED-PRINTABLE:=FF=C0=FF=EE;=FF=CB=FF=C4" "$(sed -n 3p 'unicode/李四.vcf' | tr -d '\r')"

# What is exported imports back unchanged, in every encoding.
for dir in out utf8 unicode; do
    rm -f back.txl
    run import-vcf back.txl "$dir" > /dev/null
    check "$dir reads back" "$(records book.txl 3 9 25 26 | sort)" "$(records back.txl 3 9 25 26 | sort)"
done

# One file of all contacts, the form a phone imports in one step.
out=$(run export-vcf book.txl all.vcf --one-file --encoding utf8qp)
check "export-vcf --one-file reports every contact" $'written\t7' "$out"
check "one card after another" "7" "$(grep -c '^END:VCARD' all.vcf)"
rm -f back.txl
run import-vcf back.txl all.vcf > /dev/null
check "the one file reads back" "$(records book.txl 3 9 25 26)" "$(records back.txl 3 9 25 26)"

# Exporting again replaces the files; a missing book exports nothing.
run export-vcf book.txl out > /dev/null
check "a second export replaces the files" "7" "$(ls out | wc -l | tr -d ' ')"
mkdir none
out=$(run export-vcf missing.txl none)
check "a missing book exports nothing" $'written\t0' "$out"
check "a missing book is not created by export" "no" "$( [ -e missing.txl ] && echo yes || echo no )"
run export-vcf book.txl no-such-dir > /dev/null 2>&1
check "export to a missing directory exits 1" 1 $?

# A phone's card: three mobiles, a note of two lines, a website, a custom label, a
# surname longer than its field. What has no field is dumped after the record.
{
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:abc-1\r\nN:Mustermann;Erika;;;\r\n'
    printf 'TEL;TYPE=CELL:1\r\nTEL;TYPE=CELL:2\r\nitem1.TEL:3\r\nitem1.X-ABLabel:微信\r\n'
    printf 'NOTE:Met at the fair\\nBerlin\r\nURL:http://example.com\r\nEND:VCARD\r\n'
} > phone.vcf
run import-vcf items.txl phone.vcf > /dev/null
# The items by kind, as every file form keeps them; the note's line break escaped.
expected=$'id\tabc-1\nitem\tphone\t手机\t2\nitem\tphone\t微信\t3\nitem\turl\t\thttp://example.com\nitem\tnote\t\tMet at the fair\\nBerlin\nwhole\t0\tMustermann'
check "items, the UID and a whole surname are dumped after the record" "$expected" \
    "$(run dump items.txl | iconv -f GBK -t UTF-8 | grep -a -v '^group' | tail -n +3)"
check "the record keeps the cut surname" "Musterman" "$(records items.txl | cut -f1)"

# Wrong command lines are usage errors.
run import-vcf book.txl > /dev/null 2>&1
check "import-vcf without a path exits 2" 2 $?
run export-vcf book.txl out --encoding latin1 > /dev/null 2>&1
check "an unknown encoding exits 2" 2 $?
run export-vcf book.txl out --encoding > /dev/null 2>&1
check "a missing encoding exits 2" 2 $?
run export-vcf book.txl > /dev/null 2>&1
check "export-vcf without a directory exits 2" 2 $?

finish "txltool vcf"

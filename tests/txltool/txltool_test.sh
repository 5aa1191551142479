#!/usr/bin/env bash
# txltool as a script uses it. Arguments: the command that runs txltool
# (under Wine for the Windows build, for example "wine-run.sh txltool.exe").
source "$(dirname "$0")/script_checks.sh"

# A new book is the 65-byte empty document.
run new book.txl
check "new exits 0" 0 $?
check "new writes 65 bytes" 65 "$(wc -c < book.txl | tr -d ' ')"
check "new starts with the magic number" "330a0300" "$(head -c 4 book.txl | od -An -tx1 | tr -d ' \n')"

# dump lists the result, the groups (GBK) and no records.
dump=$(run dump book.txl | iconv -f GBK -t UTF-8)
check "dump exits 0" 0 "${PIPESTATUS[0]}"
check "dump of a new book" $'result\t1\ngroup\t默认分组\ngroup\t家人\ngroup\t朋友\ngroup\t同事\ngroup\t同学' "$dump"

# A refused book: its result and status 1.
printf 'not a book' > bad.txl
dump=$(run dump bad.txl)
check "dump of a bad book exits 1" 1 $?
check "dump of a bad book prints the result" $'result\t2' "$dump"
dump=$(run dump missing.txl)
check "dump of a missing book" $'result\t0' "$dump"

# A record, written by hand, comes out field by field.
{
    head -c 61 book.txl                          # header and groups
    printf '\x01\x00\x00\x00'                    # one record
    printf 'Li\0\0\0\0\0\0\0\0'                  # Surname
    printf 'Lei\0\0\0\0\0\0\0'                   # GivenName
    printf '\x01\x00\x00\x00'                    # Gender: female
    head -c $((634 - 24)) /dev/zero              # the other fields, empty
    printf '\x03\x00\x00\x00'                    # GroupIndex
} > one.txl
dump=$(run dump one.txl | grep "^record")
check "dump of one record" "record	Li	Lei	1$(printf '\t%.0s' $(seq 24))	3" "$dump"

# sort puts the records in order of name and keeps the groups.
{
    head -c 61 book.txl
    printf '\x03\x00\x00\x00'
    for name in '\xd5\xc5' 'li' '\xb0\xb2'; do  # 张, li, 安
        printf "$name"; head -c $((10 - $(printf "$name" | wc -c))) /dev/zero
        head -c $((634 - 10)) /dev/zero
        printf '\x00\x00\x00\x00'
    done
} > three.txl
run sort three.txl
check "sort exits 0" 0 $?
sorted=$(run dump three.txl | grep -a ^record | cut -f2 | iconv -f GBK -t UTF-8 | tr '\n' ' ')
check "sort orders by pinyin" "安 li 张 " "$sorted"
check "sort keeps the groups" 5 "$(run dump three.txl | grep -ac ^group)"
run sort bad.txl 2> /dev/null
check "sort of a bad book exits 1" 1 $?
check "sort leaves a bad book alone" "not a book" "$(cat bad.txl)"

# A wrong command line is a usage error.
run > /dev/null 2>&1
check "no command exits 2" 2 $?
run dump > /dev/null 2>&1
check "dump without a book exits 2" 2 $?
run frobnicate x > /dev/null 2>&1
check "an unknown command exits 2" 2 $?

finish "txltool"

#!/usr/bin/env bash
# txltool edit and delete as a script uses them. Arguments: the command
# that runs txltool (under Wine for the Windows build).
source "$(dirname "$0")/script_checks.sh"
gbk() { printf "$1" | iconv -f UTF-8 -t GBK; }
records() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | cut -f 2-; }
empty() { printf '\t%.0s' $(seq "$1"); }  # N empty cells after a value
same_file() { cmp -s "$1" "$2" && echo same || echo changed; }

gbk '姓,名,性别,出生年,出生月,出生日,手机\r\n张,三,男,1985,7,21,138\r\n李,四,女,,,,139\r\n' > people.csv
run import-csv book.txl people.csv > /dev/null
check "the book to edit" "张	三	0	1985	7	21			138$(empty 18)	0
李	四	1$(empty 5)	139$(empty 18)	0" "$(records book.txl)"

# Fields by their index, as the editor writes them: an emptied surname
# keeps the stored one, a text too long is cut at a whole character, the
# gender 0 or 1 (or 男/女), one part of the birthday with the others kept.
run edit book.txl 1 0= 1=小明明明明明 2=女 8=13900139000 5=22 26=经理
check "edit exits 0" 0 $?
check "edit changes the fields" "张	小明明明	1	1985	7	22			13900139000$(empty 17)	经理	0" "$(records book.txl | head -n 1)"
run edit book.txl 2 3=1990 4=02 5=03 2=0 1=
check "a second edit exits 0" 0 $?
check "the birthday written as numbers" "李		0	1990	2	3			139$(empty 18)	0" "$(records book.txl | tail -n 1)"
run edit book.txl 2 3= 4= 5=
check "an emptied birthday" "李		0$(empty 5)	139$(empty 18)	0" "$(records book.txl | tail -n 1)"

# Refused: the book stays as it was.
cp book.txl before.txl
run edit book.txl 1 4=2 5=30 2> /dev/null
check "no 30 February" 2 $?
run edit book.txl 1 3=1850 2> /dev/null
check "no birthday the picker cannot show" 2 $?
run edit book.txl 1 2=x 2> /dev/null
check "a gender of 0 or 1" 2 $?
run edit book.txl 1 27=x 2> /dev/null
check "an index past 26" 2 $?
run edit book.txl 1 "7=a$(printf '\t')b" 2> /dev/null
check "no tab inside a field" 2 $?
run edit book.txl 3 1=x 2> /dev/null
check "no contact 3" 1 $?
run edit missing.txl 1 1=x 2> /dev/null
check "a missing book" 1 $?
check "refused edits leave the book" same "$(same_file before.txl book.txl)"

# A contact with a given name alone, written by hand: emptying that name
# would leave it nameless, which the editor would drop; edit refuses.
run new given.txl
{
    head -c 61 given.txl
    printf '\x01\x00\x00\x00'
    head -c 10 /dev/zero                         # Surname: empty
    printf 'Wu\0\0\0\0\0\0\0\0'                # GivenName
    head -c $((638 - 20)) /dev/zero              # the other fields and the group
} > nameless.txl
cp nameless.txl nameless-before.txl
run edit nameless.txl 1 1= 2> /dev/null
check "no contact left without a name" 1 $?
check "the nameless edit leaves the book" same "$(same_file nameless-before.txl nameless.txl)"

# delete removes the N-th contact of dump and nothing else.
run delete book.txl 1
check "delete exits 0" 0 $?
check "delete removes the first" "李		0$(empty 5)	139$(empty 18)	0" "$(records book.txl)"
run delete book.txl 2 2> /dev/null
check "delete of no such contact" 1 $?
run delete book.txl 2> /dev/null
check "delete without a number" 2 $?
run delete book.txl 1
check "the last contact goes too" "" "$(records book.txl)"
check "the groups stay" 5 "$(run dump book.txl | grep -ac ^group)"

finish "txltool edit"

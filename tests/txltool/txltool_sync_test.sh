#!/usr/bin/env bash
# txltool sync as a script uses it, against Radicale (servers.sh, started
# by ctest): two books meet through one address book. Arguments: the
# command that runs txltool (under Wine for the Windows build).
source "$(dirname "$0")/script_checks.sh"
gbk() { printf "$1" | iconv -f UTF-8 -t GBK; }
records() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | cut -f 2- | sort; }
number() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | grep -nP "$2" | cut -d: -f1; }  # of the contact holding $2
counts() { printf 'uploaded %s\ndownloaded %s\ndeleted %s\nconflicts %s' "$@"; }

source "$(dirname "$0")/sync_checks.sh" script

gbk '姓,名,手机,电子邮件\r\n张,三,13800000001,zhang@example.com\r\nDoe,John,13800000002,\r\n' > people.csv
run import-csv a.txl people.csv > /dev/null
check "the first sync uploads" "$(counts 2 0 0 0)" "$(run sync a.txl "$url" --user corvelle)"
check "another book downloads" "$(counts 0 2 0 0)" "$(run sync b.txl "$url" --user corvelle)"
check "both books alike" "$(records a.txl)" "$(records b.txl)"

run edit b.txl 1 8=13900000009 > /dev/null
check "an edit goes up" "$(counts 1 0 0 0)" "$(run sync b.txl "$url" --user corvelle)"
check "and comes down" "$(counts 0 1 0 0)" "$(run sync a.txl "$url" --user corvelle)"
check "both books alike again" "$(records a.txl)" "$(records b.txl)"

# The same field edited in both books: listed with both values, both kept.
run edit a.txl "$(number a.txl "^record	张")" 8=13911111111 > /dev/null
run edit b.txl "$(number b.txl "^record	张")" 8=13922222222 > /dev/null
run sync a.txl "$url" --user corvelle > /dev/null
out=$(run sync b.txl "$url" --user corvelle --prefer server | iconv -f GBK -t UTF-8)
check "a conflict is listed" "conflicts 1" "$(echo "$out" | grep '^conflicts')"
check "with both values" "1" "$(echo "$out" | grep -c $'local\t13922222222\tserver\t13911111111')"
check "the server's value taken" "1" "$(records b.txl | grep -c 13911111111)"
run sync a.txl "$url" --user corvelle > /dev/null
check "nothing left to do" "$(counts 0 0 0 0)" "$(run sync a.txl "$url" --user corvelle)"

# The password from standard input; a wrong one fails.
unset CORVELLE_PASSWORD
echo 'sync pass 1' | run sync a.txl "$url" --user corvelle > /dev/null
check "the password read from standard input" 0 $?
echo 'wrong' | run sync a.txl "$url" --user corvelle > /dev/null 2>&1
check "a refused password fails" 1 $?
run sync a.txl "$url" 2> /dev/null
check "no user: usage" 2 $?
finish txltool_sync

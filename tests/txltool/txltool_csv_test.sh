#!/usr/bin/env bash
# txltool import-csv and export-csv as a script uses them. Arguments: the
# command that runs txltool (under Wine for the Windows build).
source "$(dirname "$0")/script_checks.sh"
gbk() { printf "$1" | iconv -f UTF-8 -t GBK; }  # gbk FORMAT: the text in GBK
records() { run dump "$1" | iconv -f GBK -t UTF-8 | grep '^record' | cut -f 2-; }
empty() { printf '\t%.0s' $(seq "$1"); }  # N empty cells after a value

header='姓,名,性别,出生年,出生月,出生日,QQ,邮箱,手机,昵称,住宅：国家,住宅：省,住宅：市,住宅：街道,住宅：邮编,住宅：电话,住宅：传真,工作：国家,工作：省,工作：市,工作：街道,工作：邮编,工作：电话,工作：传真,公司,部门,职务'

# Export of a missing book: the header alone, CR LF; the book is not made.
run export-csv none.txl empty.csv
check "export of a missing book exits 0" 0 $?
check "export writes the header" "$(gbk "$header\r\n" | od -An -tx1)" "$(od -An -tx1 < empty.csv)"
check "export leaves a missing book missing" "no" "$([ -e none.txl ] && echo yes || echo no)"

# Import into a missing book: a new book; an unknown title answered by --map.
gbk '姓,名,Phone,性别,Birthday\r\n张,三,138,女,1985-03-07\n李,四,139,男,19900102\n' > people.csv
run import-csv book.txl people.csv --map Phone=8 --map Birthday=3
check "import exits 0" 0 $?
check "import makes the book" "张	三	1	1985	3	7			138$(empty 18)	0
李	四	0	1990	1	2			139$(empty 18)	0" "$(records book.txl)"

# A column mapped to "其他信息" (27): each cell an item labelled with the title.
gbk '姓,名,微信\r\n张,三,zhang3\n' > wechat.csv
run import-csv other.txl wechat.csv --map 微信=27 > /dev/null 2>&1
check "a column mapped to 其他信息 gives items" $'item\tcustom\t微信\tzhang3' \
    "$(run dump other.txl | iconv -f GBK -t UTF-8 | grep '^item')"

# The same contacts again: none is added, and standard error says so.
cp book.txl twice.txl
message=$(run import-csv twice.txl people.csv --map Phone=8 --map Birthday=3 2>&1 >/dev/null)
check "a second import exits 0" 0 $?
check "a second import adds nothing" "$(records book.txl)" "$(records twice.txl)"
check "a second import: the message" "txltool: people.csv: 文件中有 2 个联系人已在通讯录中，没有再次导入。" "$message"

# An Outlook export (GBK, every cell quoted): no --map needed, the e-mail in
# column 52, the birthday in column 75, the category a new group.
outlook_titles=$(tr -d '\r\n' < "$TXLTOOL_SOURCE_DIR/../shared/interop/csv/headers/outlook-desktop-zh-CN.txt" 2>/dev/null)
if [ -n "$outlook_titles" ]; then
  row=""
  for i in $(seq 1 92); do
    case $i in 2) cell="三" ;; 4) cell="张" ;; 52) cell="zhang@example.com" ;; 75) cell="1966/3/9" ;; *) cell="" ;; esac
    row="$row${row:+,}\"$cell\""
  done
  printf '%s\r\n%s\r\n' "$outlook_titles" "$row" | iconv -f UTF-8 -t GBK > outlook.csv
  run import-csv outlook.txl outlook.csv
  check "an Outlook export imports unasked" 0 $?
  check "Outlook: name, birthday, e-mail" "张	三	0	1966	3	9		zhang@example.com$(empty 19)	0" "$(records outlook.txl)"
fi

# An unknown title without --map is ignored; --ignore-rest-from ignores it
# and every later column, matching titles too.
run import-csv book.txl people.csv
check "unmapped titles are ignored" "张	三	1$(empty 24)	0" "$(records book.txl | sed -n 3p)"
gbk 'Name,姓\nx,王\n' > rest.csv
message=$(run import-csv rest.txl rest.csv --ignore-rest-from Name 2>&1 >/dev/null)
check "an import that takes nothing exits 1" 1 $?
check "nothing imported, nothing written" "no" "$([ -e rest.txl ] && echo yes || echo no)"
check "nothing imported: why" "txltool: rest.csv: no contact taken: no surname column; titles not recognised: \
Name (map them with --map TITLE=INDEX)" "$message"
gbk 'Name,Phone\nx,1\n\n' > unknown.csv
message=$(run import-csv rest.txl unknown.csv 2>&1 >/dev/null)
check "unknown titles exit 1" 1 $?
check "unknown titles: why" "txltool: unknown.csv: no contact taken: no surname column; titles not recognised: \
Name, Phone (map them with --map TITLE=INDEX)" "$message"
gbk '姓,名,性别\n,,女\n' > blank.csv
message=$(run import-csv rest.txl blank.csv 2>&1 >/dev/null)
check "lines without a name exit 1" 1 $?
check "lines without a name: why" \
    "txltool: blank.csv: no contact taken: no line holds a name, company, nickname, e-mail address or phone number" "$message"
gbk '姓,名\n' > header.csv
run import-csv rest.txl header.csv
check "a header alone is no failure" 0 $?

# Titles on the command line are in the terminal's encoding, matched as GBK.
gbk '电话号码,姓,备注,名
138,赵,x,六
' > chinese.csv
run import-csv chinese.txl chinese.csv --map 电话号码=8 --ignore-rest-from 备注
check "Chinese titles" "赵		0						138$(empty 18)	0" "$(records chinese.txl)"

# Export and import again: the same contacts, without any --map.
run export-csv book.txl all.csv
check "export exits 0" 0 $?
check "export: a line per contact" 5 "$(wc -l < all.csv | tr -d ' ')"
run import-csv again.txl all.csv
check "round trip exits 0" 0 $?
check "round trip keeps every field" "$(records book.txl)" "$(records again.txl)"

# Failures: exit 1, the program's message, the book untouched.
before=$(cksum < book.txl)
: > nothing.csv
message=$(run import-csv book.txl nothing.csv 2>&1 >/dev/null)
check "an empty CSV exits 1" 1 $?
check "an empty CSV: the message" "txltool: nothing.csv: 无法读取csv文件！" "$message"
run import-csv book.txl missing.csv 2>/dev/null
check "a missing CSV exits 1" 1 $?
check "the book is untouched" "$before" "$(cksum < book.txl)"
printf 'not a book' > bad.txl
run import-csv bad.txl people.csv 2>/dev/null
check "an unreadable book exits 1" 1 $?
check "an unreadable book stays" "not a book" "$(cat bad.txl)"
mkdir folder.csv
message=$(run export-csv book.txl folder.csv 2>&1 >/dev/null)
check "an unwritable CSV exits 1" 1 $?
check "an unwritable CSV: the message" "txltool: folder.csv: 无效的文件名！
生成CSV文件失败！" "$message"
printf 'old' > kept.csv
run export-csv bad.txl kept.csv 2>/dev/null
check "export of an unreadable book exits 1" 1 $?
check "the old CSV stays" "old" "$(cat kept.csv)"

# A Google Contacts export of 2,279 contacts comes in whole, past the 512
# that older versions stopped at.
{ printf 'First Name,Last Name,Labels,Phone 1 - Label,Phone 1 - Value\r\n'
  for i in $(seq 2279); do printf 'P%s,Google,* myContacts,Mobile,+86 138 %04d 0000\r\n' "$i" "$i"; done; } > google.csv
message=$(run import-csv google.txl google.csv 2>&1 >/dev/null)
check "a Google export of 2,279 contacts exits 0" 0 $?
check "every contact of it is imported" 2279 "$(records google.txl | wc -l | tr -d ' ')"
check "nothing is left out" "" "$message"

# Wrong command lines are usage errors.
for args in "import-csv book.txl" "import-csv book.txl people.csv --map Phone" \
            "import-csv book.txl people.csv --map Phone=28" "import-csv book.txl people.csv --map" \
            "import-csv book.txl people.csv --frobnicate" "export-csv book.txl"; do
    run $args > /dev/null 2>&1
    check "usage: $args" 2 $?
done
check "usage errors leave the book" "$before" "$(cksum < book.txl)"

finish "txltool csv"

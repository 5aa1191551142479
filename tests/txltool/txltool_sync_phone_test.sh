#!/usr/bin/env bash
# Two books kept in step through Radicale by `txltool sync`, with
# vdirsyncer playing a phone that syncs the same address book into a
# folder of cards. Arguments: the command that runs txltool (under Wine for
# the Windows build). CORVELLE_TEST_SERVERS names the folder where
# servers.sh wrote the servers' addresses.
source "$(dirname "$0")/script_checks.sh"
gbk() { printf "$1" | iconv -f UTF-8 -t GBK; }
records() { run dump "$1" | iconv -f GB18030 -t UTF-8 | grep '^record' | cut -f 2- | sort; }
items() { run dump "$1" | iconv -f GB18030 -t UTF-8 | grep '^item' | cut -f 2- | sort; }
contact_number() {  # contact_number BOOK SURNAME: its place in dump, from 1
    run dump "$1" | iconv -f GB18030 -t UTF-8 | grep '^record' | cut -f 2 | grep -n -x "$2" | cut -d: -f 1
}
sync() { local book=$1; shift; run sync "$book" "$url" --user corvelle "$@"; }
said() { grep -x "$1" <<< "$2" | cut -d ' ' -f 2; }  # said "uploaded [0-9]*" OUTPUT: the number
source "$(dirname "$0")/sync_checks.sh" phone

# The phone: vdirsyncer between a folder of cards and the same address book.
mkdir -p phone/cards phone/status
cat > phone/config <<CONFIG
[general]
status_path = "$work/phone/status/"
[pair phone]
a = "phone_cards"
b = "phone_server"
collections = null
conflict_resolution = "a wins"
[storage phone_cards]
type = "filesystem"
path = "$work/phone/cards/"
fileext = ".vcf"
[storage phone_server]
type = "carddav"
url = "$url"
username = "corvelle"
password = "sync pass 1"
CONFIG
phone() { vdirsyncer -c "$work/phone/config" "$@" > "$work/phone/log" 2>&1 < /dev/null || cat "$work/phone/log"; }
phone discover
phone_card() {  # phone_card UID TEXT...: a card the phone's user typed in
    printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nUID:%s\r\n%bEND:VCARD\r\n' "$1" "$2" > "phone/cards/$1.vcf"
}

# Twenty contacts in book A, uploaded; the phone gets them all.
{
    printf '姓,名,手机\r\n'
    for i in $(seq 10 29); do printf '用户,%s号,138000000%s\r\n' "$i" "$i"; done
} | iconv -f UTF-8 -t GBK > people.csv
run import-csv a.txl people.csv > /dev/null
out=$(sync a.txl)
check "the first sync of A exits 0" 0 $?
check "A uploads its twenty contacts" 20 "$(said 'uploaded [0-9]*' "$out")"
phone sync
check "the phone gets twenty cards" 20 "$(ls phone/cards | wc -l)"

# The phone adds a contact with a photo and a property of its own.
phone_card phone-1 'N:王;五;;;\r\nFN:王五\r\nTEL;TYPE=CELL:13900000001\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQ==\r\nX-PHONE-RINGTONE:bell\r\n'
phone sync
out=$(sync a.txl)
check "A downloads the phone's contact" 1 "$(said 'downloaded [0-9]*' "$out")"
check "the phone's contact is in A" "王	五	0						13900000001$(printf '\t%.0s' $(seq 18))	0" \
    "$(records a.txl | grep '^王')"

# Book B starts empty and gets everything: nothing doubled.
out=$(sync b.txl)
check "B downloads twenty-one contacts" 21 "$(said 'downloaded [0-9]*' "$out")"
check "A and B hold the same contacts" "$(records a.txl)" "$(records b.txl)"

# A edits the phone's contact: the photo and the phone's own property stay on the server, the UID too.
run edit a.txl "$(contact_number a.txl 王)" 8=13900000002 > /dev/null
out=$(sync a.txl)
check "A uploads its edit" 1 "$(said 'uploaded [0-9]*' "$out")"
phone sync
card=$(tr -d '\r' < phone/cards/phone-1.vcf)
check "the edit reaches the phone" 1 "$(grep -c '13900000002' <<< "$card")"
check "the photo stays" 1 "$(grep -c '^PHOTO' <<< "$card")"
check "the phone's own property stays" "X-PHONE-RINGTONE:bell" "$(grep '^X-PHONE' <<< "$card")"
check "the UID stays" "UID:phone-1" "$(grep '^UID' <<< "$card")"

# The phone edits a number: it arrives, and then nothing is left to do.
sed -i 's/13800000011/13811111111/' "$(grep -l 13800000011 phone/cards/*.vcf)"
phone sync
out=$(sync a.txl)
check "the phone's edit arrives" 1 "$(records a.txl | grep -c 13811111111)"
check "nothing left to do" "$(printf 'uploaded 0\ndownloaded 0\ndeleted 0\nconflicts 0')" "$(sync a.txl)"

# Both change the same number: a conflict, listed with both values; both kept.
file=$(grep -l '13800000010' phone/cards/*.vcf)
sed -i 's/13800000010/13711111111/' "$file"
phone sync
run edit a.txl 1 8=13622222222 > /dev/null
out=$(sync a.txl)
check "the conflict is counted" 1 "$(said 'conflicts [0-9]*' "$out")"
check "both values are shown" 1 "$(grep -a 13711111111 <<< "$out" | grep -ac 13622222222)"
check "the server's value is kept beside the contact" 1 "$(items a.txl | grep -c 13711111111)"

# A deletion on the phone travels to A, and one in B travels to the phone.
rm "phone/cards/phone-1.vcf"
phone sync
out=$(sync a.txl)
check "the phone's deletion reaches A" 1 "$(said 'deleted [0-9]*' "$out")"
check "A no longer holds it" "" "$(records a.txl | grep '^王')"
sync b.txl > /dev/null
run delete b.txl "$(contact_number b.txl 用户 | tail -n 1)" > /dev/null
sync b.txl > /dev/null
phone sync
check "B's deletion reaches the phone" 19 "$(ls phone/cards | wc -l)"

# The phone deletes twelve of nineteen: A asks first and changes nothing.
ls phone/cards/*.vcf | head -n 12 | xargs rm
phone sync
cp a.txl before.txl
sync a.txl > out.txt 2>&1
status=$?
check "a mass deletion is refused without --allow-mass-delete" 1 "$([ $status -ne 0 ] && echo 1)"
check "the refusal names the option" 1 "$(grep -c -- --allow-mass-delete out.txt)"
check "A is unchanged" "$(records before.txl)" "$(records a.txl)"
out=$(sync a.txl --allow-mass-delete)
# Twelve from the phone and the one B deleted.
check "with the option the deletions are made" 13 "$(said 'deleted [0-9]*' "$out")"
sync b.txl --allow-mass-delete > /dev/null
check "A and B end the same" "$(records a.txl)" "$(records b.txl)"
check "with the same other information" "$(items a.txl)" "$(items b.txl)"
check "and as many as the phone" "$(ls phone/cards | wc -l)" "$(records a.txl | wc -l)"

finish txltool_sync_phone

// Writes the seed corpora of the harnesses with the program's own writers:
// small, valid files from which the fuzzer starts.
// Usage: corvelle_seed_writer CORPUS_FOLDER (fuzz/corpus)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "csv/csv_writer.h"
#include "platform/platform.h"
#include "listview/columns.h"
#include "platform/platform.h"
#include "store/address_book_file.h"
#include "store/document.h"
#include "store/fixed_text.h"
#include "store/safe_file.h"
#include "store/settings_file.h"
#include "sync/sync_engine.h"
#include "sync/contact_card.h"
#include "sync/sync_state.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_writer.h"

namespace {

std::string Gbk(const char16_t* text) { return GbkText(text); }

bool Save(const std::string& path, const Document& document) {
    return WriteAddressBook(path, document.groups, document.contacts) == 1;
}

// Four-byte characters: rare name characters, an emoji, Hangul.
ContactRecord RareCharacterContact() {
    ContactRecord rare = EmptyRecord();
    SetField(rare, Surname, Gbk(u"刘"));
    SetField(rare, GivenName, Gbk(u"䶮𬎆"));
    SetField(rare, Nickname, Gbk(u"妈妈❤️"));
    SetField(rare, Company, Gbk(u"김민준 Müller 𬀩"));
    SetField(rare, Mobile, "13900001111");
    return rare;
}

bool WriteBooks(const std::string& folder) {
    Document document;
    ResetDocument(document);
    bool ok = Save(folder + "/new.txl", document);

    ContactRecord zhang = EmptyRecord();
    SetField(zhang, Surname, Gbk(u"张"));
    SetField(zhang, GivenName, Gbk(u"三"));
    SetField(zhang, Mobile, "13800138000");
    SetField(zhang, BirthYear, "1985");
    SetField(zhang, BirthMonth, "7");
    SetField(zhang, BirthDay, "21");
    SetField(zhang, HomeCity, Gbk(u"北京"));
    SetField(zhang, Email, "zhang@example.com");
    zhang.GroupIndex = 2;
    AppendRecord(document.contacts, zhang);
    AppendRecord(document.contacts, RareCharacterContact());
    ContactRecord li = EmptyRecord();
    SetField(li, Surname, Gbk(u"李"));
    SetField(li, Company, Gbk(u"某某科技有限公司"));
    li.Gender = 1;
    li.GroupIndex = 3;
    AppendRecord(document.contacts, li);
    ok = Save(folder + "/two_contacts.txl", document) && ok;

    // Other information after the records: items of every kind, a whole form.
    ContactDetails& details = DetailsOf(document.contacts, RecordAt(document.contacts, 0));
    for (int kind = 0; kind < ItemKindCount; ++kind) {
        details.items.push_back(MakeItem(static_cast<ItemKind>(kind), Gbk(u"微信"), "v" + std::to_string(kind)));
    }
    SetWholeField(*RecordAt(document.contacts, 1), DetailsOf(document.contacts, RecordAt(document.contacts, 1)),
                  Company, Gbk(u"某某科技有限公司北京分公司第一研发中心"));
    ok = Save(folder + "/with_items.txl", document) && ok;
    for (const auto& record : document.contacts.records) {
        ContactDetails& plain = DetailsOf(document.contacts, record.get());
        plain.items.clear();
        plain.wholes.clear();
    }
    SetField(*RecordAt(document.contacts, 1), Company, Gbk(u"某某科技有限公司"));

    // Every field full, odd genders and groups, an empty group name.
    ContactRecord full = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText) SetField(full, info.field, std::string(info.width, static_cast<char>('A' + f)));
    }
    full.Gender = -1;
    full.GroupIndex = 99;
    AppendRecord(document.contacts, full);
    AppendGroup(document.groups, "");
    AppendGroup(document.groups, Gbk(u"一二三四五六七") + "x");
    ok = Save(folder + "/full_fields.txl", document) && ok;

    ClearGroups(document.groups);
    ok = Save(folder + "/no_groups.txl", document) && ok;
    return ok;
}

// A harness input: the bytes that choose how the harness runs, then the file.
bool SaveInput(const std::string& path, const std::string& choices, const std::string& file) {
    return WriteFileReplacing(path, choices + file);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Contacts as the editor makes them: a Chinese name with a phone and a
// birthday, an ASCII one with addresses, one with a long organisation.
ContactStore SampleContacts() {
    ContactStore store;
    AppendRecord(store, RareCharacterContact());
    ContactRecord zhang = EmptyRecord();
    SetField(zhang, Surname, Gbk(u"张"));
    SetField(zhang, GivenName, Gbk(u"三"));
    SetField(zhang, Mobile, "13800138000");
    SetField(zhang, BirthYear, "1985");
    SetField(zhang, BirthMonth, "7");
    SetField(zhang, BirthDay, "21");
    SetField(zhang, JobTitle, Gbk(u"经理"));
    AppendRecord(store, zhang);

    ContactRecord smith = EmptyRecord();
    SetField(smith, Surname, "Smith");
    SetField(smith, GivenName, "Anna");
    smith.Gender = 1;
    SetField(smith, Email, "anna@example.com");
    SetField(smith, QQNumber, "10001");
    SetField(smith, HomeStreet, "1 Main St");
    SetField(smith, HomeCity, "Springfield");
    SetField(smith, HomePostcode, "050000");
    SetField(smith, WorkCountry, "China");
    SetField(smith, WorkPhone, "010-12345678");
    SetField(smith, HomeFax, "0311-7654321");
    AppendRecord(store, smith);

    ContactRecord li = EmptyRecord();
    SetField(li, Surname, Gbk(u"欧阳"));
    SetField(li, Nickname, Gbk(u"小李"));
    SetField(li, Company, Gbk(u"某某科技有限公司北京分公司"));
    SetField(li, Department, Gbk(u"市场部"));
    SetField(li, WorkProvince, Gbk(u"北京"));
    AppendRecord(store, li);
    return store;
}

const VcardEncoding Encodings[] = {Plain, Utf8Qp, UnicodeQp};

// Small cards in the forms of other programs: folded lines, soft line
// breaks, versions 3.0 and 4.0, groups, escapes, charsets, nesting.
struct OtherCard {
    const char* name;
    const char* text;
};
const OtherCard OtherCards[] = {
    {"android21",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E7=8E=8B;=E5=B0=8F=E6=98=8E;;;\r\n"
     "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;=E4=B8=AD=E5=85=B3=E6=9D=91=\r\n=E5=A4=A7=E8=A1=97;"
     "=E5=8C=97=E4=BA=AC;;100080;\r\nTEL;CELL;PREF:13800138000\r\nTEL:010-1\r\n"
     "PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD\r\n  2wBDAAIBAQEBAQIBAQE\r\n\r\nEND:VCARD\r\n"},
    {"iphone30",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nN:\xE7\x8E\x8B;\xE5\xB0\x8F\xE6\x98\x8E;;;\r\nFN:\xE7\x8E\x8B\xE5\xB0"
     "\x8F\xE6\x98\x8E\r\nORG:Smith\\, Jones;Sales\r\nitem1.EMAIL;type=INTERNET;type=pref:w@example.com\r\n"
     "TEL;type=CELL;type=VOICE;type=pref:138 0013 8000\r\nitem2.ADR;type=WORK:;;Street4\\nBuilding 6;Beijing;;"
     "100080;China\r\nBDAY;value=date:1990-05-17\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQ\r\n ABAAD/4QBY"
     "\r\nEND:VCARD\r\n"},
    {"vcard40",
     "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\xE6\x9D\x8E\xE5\x9B\x9B\r\nGENDER:F\r\nTEL;VALUE=uri;TYPE=\"cell,voice\""
     ":tel:+86-138-0013;ext=1\r\nBDAY:--0517\r\nEND:VCARD\r\n"},
    {"huawei21",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=88=98;=E7=8E=B2;=E5=B7=A7;;\r\n"
     "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=88=98=E5=B7=A7=E7=8E=B2\r\nTEL;CELL:138 0013 8000\r\n"
     "TEL;CELL:139 0013 9000\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nN:;;;;\r\nFN:\r\n"
     "ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E9=A1=BA=E4=B8=B0\r\nTEL;WORK:95338 \r\nEND:VCARD\r\n"
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:;\xE9\x95\xBF\xE6\xB2\x99\xE9\xBB\x91\xE8\xBD\xA6\xE8\x82\x96;;;"
     "\r\nEMAIL:a@b.cn\r\nEMAIL;PREF:c@d.cn\r\nEND:VCARD\r\n"},
    {"iphone_pref",
     "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John;;;\r\nTEL;type=IPHONE;type=CELL;type=VOICE;type=pref:1\r\n"
     "TEL;type=WORK;type=CELL;type=VOICE:2\r\nIMPP;X-SERVICE-TYPE=QQ;TYPE=OTHER:x-apple:10001\r\n"
     "BDAY;X-APPLE-OMIT-YEAR=1604:1604-04-07\r\nCATEGORIES:myContacts,starred,Basketball\\, team,x\r\n"
     "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:Friends\r\nX-ADDRESSBOOKSERVER-KIND:group\r\n"
     "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:4.0\r\nFN:Team\r\nKIND:group\r\nEND:VCARD\r\n"},
    {"owncloud_late_version",
     "BEGIN:VCARD\r\nCATEGORIES:\xE5\xAE\xB6\xE4\xBA\xBA\r\nEMAIL;TYPE=INTERNET:w@example.com\r\n"
     "FN:\xE5\x90\xB4\xE6\x99\x93\xE4\xB8\x9C\r\nN:\xE5\x90\xB4;\xE6\x99\x93\xE4\xB8\x9C;;;\r\n"
     "TEL;TYPE=CELL:1\r\nVERSION:3.0\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:\xE5\x90\xB4\xE6\x99\x93\r\n"
     "N:\xE5\x90\xB4;\xE6\x99\x93;;;\r\nEND:VCARD\r\n"},
    {"old_phone",
     "begin:vcard\r\nversion:2.1\r\nn;encoding=quoted-printable:=D5=C5;=C8=FD\r\nnote;quoted-printable:a=\r\n"
     "b\r\nBEGIN:VCARD\r\nN:Agent\r\nEND:VCARD\r\nTEL;CHARSET=BIG5:1\r\nend:vcard\r\n"},
};

// The first byte is 0: the store starts empty.
const ContactDetails& ItemsOfEveryKind() {
    static ContactDetails details;
    if (details.items.empty()) {
        details.id = "seed-uid-1";
        for (int kind = 0; kind < ItemKindCount; ++kind) {
            details.items.push_back(MakeItem(static_cast<ItemKind>(kind), Gbk(u"微信"), "v;" + std::to_string(kind)));
            details.items.push_back(MakeItem(static_cast<ItemKind>(kind), Gbk(u"工作"), Gbk(u"值") + "x"));
        }
    }
    return details;
}

bool WriteVcardFiles(const std::string& folder) {
    ContactStore store = SampleContacts();
    bool ok = true;
    for (VcardEncoding encoding : Encodings) {
        std::string all;
        for (int n = 0; n < RecordCount(store); ++n) {
            std::string card = VcardFileText(*RecordAt(store, n), encoding);
            std::string name = folder + "/card" + std::to_string(n) + "_encoding" + std::to_string(encoding) + ".vcf";
            ok = SaveInput(name, std::string(1, '\0'), card) && ok;
            all += (all.empty() ? "" : "\r\n") + card;
        }
        ok = SaveInput(folder + "/cards_encoding" + std::to_string(encoding) + ".vcf", std::string(1, '\0'), all) && ok;
        // A card with items of every kind, labels of its own and a UID.
        const ContactRecord& first = *RecordAt(store, 0);
        std::string items = VcardFileText(first, encoding, nullptr, &ItemsOfEveryKind());
        ok = SaveInput(folder + "/items_encoding" + std::to_string(encoding) + ".vcf", std::string(1, '\0'), items) && ok;
    }
    // A store with room for two more contacts meets a file of three.
    std::string three;
    for (int n = 0; n < RecordCount(store); ++n) three += VcardFileText(*RecordAt(store, n), Plain) + "\r\n";
    ok = SaveInput(folder + "/cards_nearly_full.vcf", std::string(1, '\7'), three) && ok;
    // Cards as phones and mail programs write them, and as UTF-16 files
    // of both byte orders.
    for (const OtherCard& card : OtherCards) {
        ok = SaveInput(folder + "/" + card.name + ".vcf", std::string(1, '\0'), card.text) && ok;
    }
    std::u16string units = Utf8ToUtf16(OtherCards[0].text);
    std::string little = "\xFF\xFE", big = "\xFE\xFF";
    for (char16_t unit : units) {
        little += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        big += {static_cast<char>(unit >> 8), static_cast<char>(unit & 0xFF)};
    }
    ok = SaveInput(folder + "/utf16le.vcf", std::string(1, '\0'), little) && ok;
    ok = SaveInput(folder + "/utf16be.vcf", std::string(1, '\0'), big) && ok;
    // Contacts in groups, in the form for phones, and more categories
    // than one import makes groups for.
    Document grouped;
    ResetDocument(grouped);
    AppendGroup(grouped.groups, Gbk(u"篮球队"));
    std::string inGroups;
    for (int n = 0; n < RecordCount(store); ++n) {
        ContactRecord record = *RecordAt(store, n);
        record.GroupIndex = n + 3;
        inGroups += VcardFileText(record, Utf8Qp, &grouped.groups) + "\r\n";
    }
    ok = SaveInput(folder + "/cards_in_groups.vcf", std::string(1, '\0'), inGroups) && ok;
    std::string categories;
    for (int n = 0; n < 40; ++n) {
        categories += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:N" + std::to_string(n) + "\r\nCATEGORIES:starred,g" +
                      std::to_string(n) + "\r\nEND:VCARD\r\n";
    }
    ok = SaveInput(folder + "/many_categories.vcf", std::string(1, '\0'), categories) && ok;
    return ok;
}

// The lines of written cards, each ended by a line feed alone as the
// reader hands them on, and logical lines of other programs; the first byte chooses an empty card, or a full
// one for the lines to overwrite.
bool WriteVcardLines(const std::string& folder) {
    ContactStore store = SampleContacts();
    bool ok = true;
    for (VcardEncoding encoding : Encodings) {
        for (int n = 0; n < RecordCount(store); ++n) {
            std::string lines;
            for (char c : VcardFileText(*RecordAt(store, n), encoding)) {
                if (c != '\r') lines += c;
            }
            std::string name = folder + "/lines" + std::to_string(n) + "_encoding" + std::to_string(encoding) + ".txt";
            ok = SaveInput(name, std::string(1, static_cast<char>(n % 2)), lines) && ok;
        }
    }
    const std::string others = "VERSION:3.0\nitem1.n;charset=utf-8:\xE7\x8E\x8B;\xE5\xB0\x8F\nTEL;TYPE=cell,voice:1\n"
                               "ADR;TYPE=\"home;x\":;;a\\;b\\\\;c\\nd\nGENDER:F\nBDAY:19900517\nTEL:tel:+1;ext=2";
    return SaveInput(folder + "/other_lines.txt", std::string(1, '\0'), others) && ok;
}

// GBK texts and their encoded forms; the first byte chooses the code
// page the text is also read in (0 UTF-8, 1 GBK, 3 Big5).
bool WriteEncodedTexts(const std::string& folder) {
    const std::string texts[] = {Gbk(u"张三"), Gbk(u"某某科技有限公司;市场部"), "Zhang San;138-0000 a=b\\c",
                                 Gbk(u"·一二三四五六七八九十園億倉") + std::string(30, 'x')};
    bool ok = true;
    int n = 0;
    for (const std::string& text : texts) {
        ok = SaveInput(folder + "/text" + std::to_string(n) + ".txt", std::string(1, '\1'), text) && ok;
        for (VcardEncoding encoding : {Utf8Qp, UnicodeQp}) {
            std::string name = folder + "/text" + std::to_string(n) + "_encoding" + std::to_string(encoding) + ".txt";
            ok = SaveInput(name, std::string(1, static_cast<char>(n % 4)), EncodeVcardText(text, encoding)) && ok;
        }
        ++n;
    }
    return ok;
}

// Contacts whose cells the CSV export quotes: commas, double quotes, line
// breaks and outer spaces.
ContactStore QuotedContacts() {
    ContactStore store;
    ContactRecord record = EmptyRecord();
    SetField(record, Surname, Gbk(u"张,三"));
    SetField(record, GivenName, " \"A\" ");
    SetField(record, Company, Gbk(u"某某公司\r\n北京"));
    SetField(record, HomeStreet, " 1 Main St, Apt 2");
    SetField(record, JobTitle, "CEO ");
    AppendRecord(store, record);
    return store;
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// Files as other programs export them: Outlook's 92 quoted GBK columns
// with the e-mail in column 52 and a birthday and category, Google's labels
// and numbered columns (UTF-8 with a byte-order mark, and its older UTF-16
// export), Thunderbird's repeated titles and trailing comma.
bool WriteOtherProgramsCsvFiles(const std::string& folder, const std::string& answers) {
    const char16_t* const fillers[] = {u"英文称谓", u"商务地址 街道", u"住宅电话", u"附注",
                                       u"商务传真", u"其他地址 邮政编码", u"住宅地址 街道 2", u"单位"};
    std::u16string outlookHeader, outlookRow;
    for (int i = 1; i <= 92; ++i) {
        std::u16string title = i == 2 ? u"名" : i == 4 ? u"姓" : i == 52 ? u"电子邮件地址" : i == 67 ? u"类别"
                               : i == 75 ? u"生日" : i == 40 ? u"移动电话" : fillers[i % 8];
        std::u16string cell = i == 2 ? u"三" : i == 4 ? u"张" : i == 52 ? u"zhang@example.com" : i == 67 ? u"同事"
                              : i == 75 ? u"1966/3/9" : i == 40 ? u"13800138000" : u"";
        outlookHeader += (i > 1 ? u"," : u"") + (u"\"" + title + u"\"");
        outlookRow += (i > 1 ? u"," : u"") + (u"\"" + cell + u"\"");
    }
    std::u16string outlookFile = outlookHeader + u"\r\n" + outlookRow + u"\r\n" + outlookRow + u"\r\n";
    std::string outlook = Gbk(outlookFile.c_str());
    bool ok = SaveInput(folder + "/outlook_zh.csv", answers, outlook);
    std::u16string google =
        u"First Name,Middle Name,Last Name,Birthday,Labels,E-mail 1 - Label,E-mail 1 - Value,Phone 1 - Label,"
        u"Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Address 1 - Label,Address 1 - Street,Address 1 - City\r\n"
        u"玲,巧,刘, --04-22,* myContacts ::: 同学会,* Home,a@example.com ::: b@example.com,Mobile,138 ::: 139,"
        u"Work Fax,010,Home,街道1号,北京\r\n"
        u"小红,,,1988-07-15,* starred ::: 家人,,,Other,555,,,Work,\"1 Main St, Apt 2\",Springfield\r\n";
    ok = SaveInput(folder + "/google.csv", answers, "\xEF\xBB\xBF" + Utf16ToUtf8(google)) && ok;
    ok = SaveInput(folder + "/google_utf16.csv", answers, Utf16Le(google)) && ok;
    std::u16string thunderbird =
        u"名字,姓氏,显示名称,城市,邮政编码,城市,邮政编码,出生年份,出生月份,出生日,\r\n"
        u"五,王,王五,上海,200000,杭州,310000,1990,5,6,\r\n,,Acme,,,,,,,,\r\n";
    return SaveInput(folder + "/thunderbird_zh.csv", answers, Utf16ToUtf8(thunderbird)) && ok;
}

// Files from the CSV export, which import without a question, and files
// of other programs: titles of their own, UTF-8 with and without the
// byte-order mark, a quote that never closes. After the first byte (an
// empty store) come the four answers: map to Mobile, ignore, ignore the
// rest, map to Surname.
bool WriteCsvFiles(const std::string& folder) {
    const std::string answers = {0, 0x2A, 0, 1, 0x0A};
    std::string exported = folder + "/exported.tmp";
    bool ok = ExportCsvFile(exported, SampleContacts(), false);
    ok = ok && SaveInput(folder + "/exported.csv", answers, ReadBytes(exported));
    ok = ok && ExportCsvFile(exported, QuotedContacts(), false);
    ok = ok && SaveInput(folder + "/quoted.csv", answers, ReadBytes(exported));
    ContactStore withItems = SampleContacts();
    DetailsOf(withItems, RecordAt(withItems, 0)) = ItemsOfEveryKind();
    ok = ok && ExportCsvFile(exported, withItems, false);
    ok = ok && SaveInput(folder + "/with_items.csv", answers, ReadBytes(exported));
    ok = ok && ExportCsvFile(exported, ContactStore{}, false);
    ok = ok && SaveInput(folder + "/header_only.csv", answers, ReadBytes(exported));
    std::remove(exported.c_str());
    std::string own = "Phone," + Gbk(u"姓") + ",Note,Name\r\n13800138000," + Gbk(u"张") + ",x,y\r\n555," +
                      Gbk(u"李") + ",,\r\n";
    ok = SaveInput(folder + "/own_titles.csv", answers, own) && ok;
    // The source is UTF-8, so are these literals.
    std::string utf8 = "\"Phone\",\"姓\",名,公司\r\n\"138\",王,小明,\"Café, \"\"😀\"\"\"\r\n555,\"李\r\n四\",,\r\n";
    ok = SaveInput(folder + "/utf8_bom.csv", answers, "\xEF\xBB\xBF" + utf8) && ok;
    ok = SaveInput(folder + "/utf8.csv", answers, utf8) && ok;
    std::string open = Gbk(u"姓,名,公司\n张,三,\"某某\n李,\"四\"\"五,x\n");
    ok = SaveInput(folder + "/unclosed_quote.csv", answers, open) && ok;
    return WriteOtherProgramsCsvFiles(folder, answers) && ok;
}

// Searches for pieces of the texts the list shows for a contact, in every
// group and every field, under every column, the contact in group 0; one
// that a search without backing up would miss ("aab" in "aaab"); a pinyin
// search and a phone number.
bool WriteSearches(const std::string& folder) {
    ContactStore store = SampleContacts();
    bool ok = true;
    for (int n = 0; n < RecordCount(store); ++n) {
        const ContactRecord& contact = *RecordAt(store, n);
        std::string text = NameText(contact);
        for (int flag = 0; flag < ColumnFlagCount; ++flag) text += ColumnText(contact, flag);
        std::string pattern = text.substr(text.size() / 3, 4);
        std::string choices = {1, 1, '\xFF', '\xFF', '\xFF', 2, static_cast<char>(pattern.size())};
        ok = SaveInput(folder + "/search" + std::to_string(n) + ".txt", choices, pattern + text) && ok;
    }
    std::string choices = {1, 1, 0, 0, 0, 2, 3};
    ok = SaveInput(folder + "/restart.txt", choices, "aabaaab") && ok;
    // Pinyin, at the start of a name with a compound surname, and a phone
    // number written with other separators.
    std::string spelled = "zhangsunwx";
    choices = {1, 1, '\xFF', '\xFF', '\xFF', 2, static_cast<char>(spelled.size())};
    ok = SaveInput(folder + "/pinyin.txt", choices, spelled + Gbk(u"长孙无忌 王小明")) && ok;
    std::string number = "+86 138-0013";
    choices = {1, 1, '\xFF', '\xFF', '\xFF', 2, static_cast<char>(number.size())};
    return SaveInput(folder + "/phone.txt", choices, number + "0086 (138) 0013 8000") && ok;
}

bool WriteSettings(const std::string& folder) {
    DisplaySettings settings = DefaultSettings();
    bool ok = SaveSettings(settings, folder + "/default.dat") == 1;
    for (int i = 0; i < ColumnFlagCount; ++i) settings.ColumnFlags[i] = i % 2;
    CopyToField(settings.DefaultFileName, DefaultFileNameWidth, Gbk(u"我的通讯录.txl"));
    return SaveSettings(settings, folder + "/chosen.dat") == 1 && ok;
}

// Settings beside a book, as the synchronisation dialog writes them; the
// harness reads "NAME.sync.ini" beside "NAME.txl".
bool WriteSyncSettingsSeeds(const std::string& folder) {
    SyncSettings settings = {"https://cloud.example/remote.php/dav", "\xE6\x9D\x8E\xE9\x9B\xB7",
                             "https://cloud.example/remote.php/dav/addressbooks/users/li/contacts/",
                             "AQAAANCMnd8BFdERjHoAwE/Cl+sBAAAA"};
    bool ok = WriteSyncSettings(folder + "/nextcloud.txl", settings);
    settings = {"http://127.0.0.1:5232/", "corvelle", "", ""};
    return WriteSyncSettings(folder + "/radicale.txl", settings) && ok;
}

bool SaveText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

// Answers as CardDAV servers give them: discovery, a listing, a
// sync-collection cut short, a multiget with cards, and an error.
bool WriteServerAnswers(const std::string& folder) {
    const char* const answers[][2] = {
        {"propfind.xml",
         "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<multistatus xmlns=\"DAV:\" "
         "xmlns:C=\"urn:ietf:params:xml:ns:carddav\" xmlns:CS=\"http://calendarserver.org/ns/\"><response>"
         "<href>/corvelle/contacts/</href><propstat><prop><resourcetype><collection/><C:addressbook/></resourcetype>"
         "<displayname>&#36890;&#35759;&#24405;</displayname><current-user-principal><href>/corvelle/</href>"
         "</current-user-principal><C:max-resource-size>102400</C:max-resource-size><sync-token>"
         "http://radicale.org/ns/sync/1</sync-token><supported-report-set><supported-report><report><sync-collection/>"
         "</report></supported-report></supported-report-set></prop><status>HTTP/1.1 200 OK</status></propstat>"
         "<propstat><prop><CS:getctag/></prop><status>HTTP/1.1 404 Not Found</status></propstat></response>"
         "</multistatus>"},
        {"sync_truncated.xml",
         "<d:multistatus xmlns:d='DAV:'><d:response><d:href>/book/a.vcf</d:href><d:propstat><d:prop>"
         "<d:getetag>\"1a\"</d:getetag></d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>"
         "<d:response><d:href>/book/gone.vcf</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>"
         "<d:response><d:href>/book/</d:href><d:status>HTTP/1.1 507 Insufficient Storage</d:status>"
         "<d:error><d:number-of-matches-within-limits/></d:error></d:response>"
         "<d:sync-token>page&amp;2</d:sync-token></d:multistatus>"},
        {"multiget.xml",
         "<?xml version='1.0'?>\r\n<D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>/book/a.vcf</D:href>"
         "<D:propstat><D:prop><D:getetag>W/\"2\"</D:getetag><address-data xmlns=\"urn:ietf:params:xml:ns:carddav\">"
         "BEGIN:VCARD&#13;\nVERSION:3.0&#13;\nFN:Li &amp; Wang&#13;\nEND:VCARD&#13;\n</address-data></D:prop>"
         "<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response><D:response><D:href>/book/b.vcf</D:href>"
         "<D:propstat><D:prop><C:address-data xmlns:C=\"urn:ietf:params:xml:ns:carddav\"><![CDATA[BEGIN:VCARD\r\n"
         "END:VCARD]]></C:address-data></D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>"
         "</D:multistatus>"},
        {"error.xml", "<?xml version='1.0' encoding='utf-8'?>\n<error xmlns=\"DAV:\"><valid-sync-token /></error>"},
    };
    bool ok = true;
    for (const auto& answer : answers) ok = SaveText(folder + "/" + answer[0], answer[1]) && ok;
    return ok;
}

// Three cards as a merge meets them: the base, the local card and the
// server's, each after a first byte that chooses the side conflicts keep.
bool WriteCardMerges(const std::string& folder) {
    std::string base =
        "VERSION:3.0\r\nUID:u1\r\nFN:Zhang San\r\nN:Zhang;San;;;\r\nTEL;TYPE=CELL:13800138000\r\n"
        "item1.EMAIL;TYPE=INTERNET:z@example.com\r\nitem1.X-ABLABEL:home\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQ\r\n"
        " SkZJRg\r\nX-PHONE:kept\r\nEND:VCARD\r\n";
    std::string local = base;
    local.replace(local.find("13800138000"), 11, "13900139000");
    std::string server = base;
    server.replace(server.find("z@example"), 9, "w@example");
    std::string cards = base + std::string(1, '\0') + local + std::string(1, '\0') + server;
    return SaveText(folder + "/keep_local.txt", std::string(1, '\0') + cards) &&
           SaveText(folder + "/keep_server.txt", std::string(1, '\1') + cards);
}

// Cards as servers hold them, the program's own card of a contact, and a
// sync state.
bool WriteSyncCards(const std::string& folder) {
    Document document;
    ResetDocument(document);
    ContactRecord rare = RareCharacterContact();
    ContactDetails details;
    details.id = "seed-id";
    details.items.push_back(MakeItem(ItemKind::Note, Gbk(u"备注"), Gbk(u"第一行；第二行")));
    std::string own = ContactCardText(rare, details, document.groups);
    std::string phone =
        "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:1\r\nFN:Li Lei\r\nN:Li;Lei;;;\r\nTEL;TYPE=cell:+86 139\r\n"
        "item1.EMAIL:l@example.com\r\nitem1.X-ABLabel:_$!<Other>!$_\r\nCATEGORIES:Friends\r\nX-PHONE:kept\r\nEND:VCARD\r\n";
    SyncState state;
    state.bookUrl = "http://127.0.0.1/u/book/";
    state.token = "t1";
    state.cards.push_back({"/u/book/a.vcf", "\"e1\"", "seed-id", phone, own});
    return SaveText(folder + "/own.vcf", own) && SaveText(folder + "/phone.vcf", phone) &&
           SaveText(folder + "/state.txt", SyncStateBytes(state));
}

// The seeds of each harness, written into corpus/HARNESS/.
struct SeedSet {
    const char* harness;
    bool (*write)(const std::string& folder);
};

const SeedSet SeedSets[] = {
    {"address_book", WriteBooks},
    {"settings", WriteSettings},
    {"sync_settings", WriteSyncSettingsSeeds},
    {"vcard_file", WriteVcardFiles},
    {"vcard_line", WriteVcardLines},
    {"text_encodings", WriteEncodedTexts},
    {"csv_file", WriteCsvFiles},
    {"match_text", WriteSearches},
    {"xml_multistatus", WriteServerAnswers},
    {"card_merge", WriteCardMerges},
    {"sync_card", WriteSyncCards},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvelle_seed_writer CORPUS_FOLDER\n");
        return 2;
    }
    bool ok = true;
    for (const SeedSet& set : SeedSets) {
        std::string folder = std::string(argv[1]) + "/" + set.harness;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (!set.write(folder)) {
            std::fprintf(stderr, "corvelle_seed_writer: cannot write the seeds in %s\n", folder.c_str());
            ok = false;
        }
    }
    return ok ? 0 : 1;
}

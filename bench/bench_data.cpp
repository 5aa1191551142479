#include "bench/bench_data.h"

#include <algorithm>
#include <cstring>

#include "store/fixed_text.h"
#include "platform/platform.h"
#include "vcard/text_encodings.h"
#include "vcard/vcard_format.h"

namespace {

bool HoldsDigits(ContactField field) {
    switch (field) {
    case BirthYear: case BirthMonth: case BirthDay: case QQNumber: case Mobile: case HomePostcode:
    case HomePhone: case HomeFax: case WorkPostcode: case WorkPhone: case WorkFax:
        return true;
    default:
        return false;
    }
}

// Text of exactly `bytes` bytes at most, cut at a whole character.
std::string FilledText(int n, ContactField field, int bytes) {
    static const std::string chinese = GbkText(u"张王李赵陈刘杨黄吴周徐孙马朱胡郭何林高罗");
    std::string text;
    if (HoldsDigits(field)) {
        for (int i = 0; static_cast<int>(text.size()) < bytes; ++i) text += static_cast<char>('0' + (n * 7 + field + i) % 10);
        return text;
    }
    if (field == Email) {
        text = "user" + std::to_string(n) + "@";
        while (static_cast<int>(text.size()) < bytes - 4) text += static_cast<char>('a' + (n + text.size()) % 26);
        return text.substr(0, bytes - 4) + ".com";
    }
    // Two Chinese characters, the contact's number, then more Chinese
    // and a little ASCII, so that searches find some contacts, not all.
    text = chinese.substr(2 * ((n + field) % 20), 2) + chinese.substr(2 * ((n * 3 + field) % 20), 2) + std::to_string(n);
    for (int i = 0; static_cast<int>(text.size()) + 2 <= bytes; ++i) {
        if (i % 4 == 3) {
            text += static_cast<char>('a' + (n + field + i) % 26);
        } else {
            text += chinese.substr(2 * ((n + field * 5 + i) % 20), 2);
        }
    }
    return text;
}

// Python's vobject, timed on the same file, decodes a quoted-printable
// value without a charset as UTF-8 and stops at the first =FF; with a
// one-byte charset it reads these lines (and so does Corvelle's reader,
// as Latin-1 text, which costs it the same conversion work).
const char UnicodeQpCharset[] = ";CHARSET=ISO-8859-1";

// One property line in an encoding; the value's components are encoded
// one by one so that their ";" stay separators.
void AddLine(std::string& out, const std::string& name, const std::vector<std::string>& components,
             VcardEncoding encoding) {
    std::string line = name + VcardEncodingParameters(encoding) + (encoding == UnicodeQp ? UnicodeQpCharset : "") + ":";
    for (size_t i = 0; i < components.size(); ++i) {
        if (i > 0) line += ';';
        line += EncodeVcardText(components[i], encoding);
    }
    out += line + "\r\n";
}

std::vector<std::string> Address(const ContactRecord& r, const AddressFields& address) {
    std::vector<std::string> parts = {"", ""};
    for (ContactField field : address.fields) parts.push_back(FieldValue(r, field));
    return parts;
}

}  // namespace

ContactRecord FullContact(int n) {
    ContactRecord record = EmptyRecord();
    for (int field = 0; field < ContactFieldCount; ++field) {
        const ContactFieldInfo& info = FieldInfo(field);
        if (info.isText) SetField(record, info.field, FilledText(n, info.field, info.width - 1));
    }
    record.Gender = n % 2;
    record.GroupIndex = n % 5;
    return record;
}

ContactRecord DirectoryContact(int n) {
    static const char16_t* const surnames[] = {u"王", u"李", u"张", u"刘", u"陈", u"杨", u"黄", u"赵", u"吴", u"周",
                                               u"徐", u"孙", u"马", u"朱", u"胡", u"郭", u"何", u"高", u"林", u"罗",
                                               u"郑", u"梁", u"谢", u"宋", u"唐", u"许", u"韩", u"冯", u"邓", u"曹"};
    static const char16_t* const givenNames[] = {u"伟", u"芳", u"娜", u"秀英", u"敏", u"静", u"丽", u"强", u"磊",
                                                 u"军", u"洋", u"勇", u"艳", u"杰", u"娟", u"涛", u"明", u"超",
                                                 u"秀兰", u"霞", u"平", u"刚", u"桂英", u"建华", u"文", u"华",
                                                 u"志强", u"玉兰", u"晓东", u"海燕", u"子涵", u"宇轩", u"欣怡"};
    static const char16_t* const companies[] = {u"北京华信科技有限公司", u"上海东方贸易有限公司", u"深圳远航电子有限公司",
                                                u"广州南方物流有限公司", u"杭州云帆网络科技有限公司", u"成都天府软件有限公司"};
    static const char16_t* const departments[] = {u"销售部", u"市场部", u"研发中心", u"财务部", u"人力资源部",
                                                  u"客户服务部", u"采购部", u"行政部"};
    static const char16_t* const titles[] = {u"经理", u"工程师", u"主管", u"总监", u"助理", u"专员", u"高级工程师"};
    static const char16_t* const cities[] = {u"北京市", u"上海市", u"深圳市", u"广州市", u"杭州市", u"成都市"};
    static const char16_t* const streets[] = {u"朝阳区建国路", u"浦东新区世纪大道", u"南山区科技园路", u"天河区天河路",
                                              u"西湖区文三路", u"高新区天府大道"};
    auto pick = [n](const char16_t* const* list, size_t count, int turn) { return GbkText(list[(n / turn) % count]); };
    ContactRecord record = EmptyRecord();
    int office = n % 6;
    SetField(record, Surname, pick(surnames, 30, 1));
    SetField(record, GivenName, pick(givenNames, 33, 7));
    SetField(record, Mobile, "13" + std::to_string(900000000 + (n * 7919) % 100000000));
    SetField(record, WorkPhone, "010-6" + std::to_string(1000000 + (n * 31) % 9000000));
    SetField(record, Email, "user" + std::to_string(n) + "@example.com");
    SetField(record, Company, GbkText(companies[office]));
    SetField(record, Department, pick(departments, 8, 3));
    SetField(record, JobTitle, pick(titles, 7, 5));
    SetField(record, WorkStreet, GbkText(streets[office]) + std::to_string(1 + n % 300) + GbkText(u"号"));
    SetField(record, WorkProvince, GbkText(cities[office]).substr(0, 4));
    SetField(record, WorkCity, GbkText(cities[office]));
    SetField(record, WorkPostcode, std::to_string(100000 + office * 100020));
    SetField(record, WorkCountry, GbkText(u"中国"));
    if (n % 3 == 0) {
        SetField(record, BirthYear, std::to_string(1960 + n % 40));
        SetField(record, BirthMonth, std::to_string(1 + n % 12));
        SetField(record, BirthDay, std::to_string(1 + n % 28));
    }
    record.Gender = n % 2;
    record.GroupIndex = n % 5;
    return record;
}

void FillDirectoryBook(ContactStore& store, int count) {
    ClearRecords(store);
    store.records.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) AppendRecord(store, DirectoryContact(n));
}

void FillFullBook(ContactStore& store, int count) {
    ClearRecords(store);
    store.records.reserve(static_cast<size_t>(count));
    for (int n = 0; n < count; ++n) AppendRecord(store, FullContact(n));
}

void AddFullDetails(ContactStore& store) {
    for (size_t n = 0; n < store.records.size(); ++n) {
        ContactRecord& record = *store.records[n];
        ContactDetails& details = DetailsOf(store, &record);
        std::string number = std::to_string(n);
        std::string mobile = "139" + std::string(8 - std::min<size_t>(8, number.size()), '0') + number;
        details.items.push_back(MakeItem(ItemKind::Phone, GbkText(u"手机"), mobile));
        details.items.push_back(MakeItem(ItemKind::Email, GbkText(u"工作"), "work" + number + "@example.com"));
        details.items.push_back(MakeItem(ItemKind::Url, "", "https://example.com/" + number));
        details.items.push_back(MakeItem(ItemKind::Note, "", GbkText(u"每周一上午开会，记得带上季度报表和合同") + number));
        SetWholeField(record, details, Company, GbkText(u"北京市朝阳区某某科技发展有限公司第二分公司") + number);
    }
}

void FillFullGroups(GroupList& groups) {
    ClearGroups(groups);
    for (int g = 0; g < 5; ++g) AppendGroup(groups, GbkText(u"朋友同事同学家人客户") + std::to_string(g) + "abcd");
}

std::string MixedVcardText(const ContactStore& store) {
    std::string out;
    for (int n = 0; n < RecordCount(store); ++n) {
        const ContactRecord& r = *RecordAt(store, n);
        auto encoding = [n](int turn) { return VcardEncodingFromValue((n + turn) % VcardEncodingCount); };
        out += std::string(VcardBegin) + "\r\n" + VersionProperty + ":" + WrittenVcardVersion + "\r\n";
        AddLine(out, NameProperty, {FieldValue(r, Surname), FieldValue(r, GivenName)}, encoding(0));
        AddLine(out, NicknameProperty, {FieldValue(r, Nickname)}, encoding(1));
        AddLine(out, WabGenderProperty, {IsExportedFemale(r.Gender) ? WabFemale : WabMale}, Plain);
        AddLine(out, OrganisationProperty, {FieldValue(r, Company), FieldValue(r, Department)}, encoding(2));
        AddLine(out, TitleProperty, {FieldValue(r, JobTitle)}, encoding(0));
        for (const WrittenPhone& phone : WrittenPhones) AddLine(out, phone.property, {FieldValue(r, phone.field)}, Plain);
        AddLine(out, WorkAddressProperty, Address(r, WorkAddress), encoding(1));
        AddLine(out, HomeAddressProperty, Address(r, HomeAddress), encoding(2));
        AddLine(out, WrittenEmailProperty, {FieldValue(r, Email)}, Plain);
        AddLine(out, QQProperty, {FieldValue(r, QQNumber)}, Plain);
        out += std::string(BirthdayProperty) + ":" + FieldValue(r, BirthYear) + "-" + FieldValue(r, BirthMonth) + "-" + FieldValue(r, BirthDay) +
               "\r\n";
        out += std::string(VcardEnd) + "\r\n";
    }
    return out;
}

namespace {

std::string Utf8(const ContactRecord& r, ContactField field) { return Utf16ToUtf8(GbkToUtf16(FieldValue(r, field))); }

// A 3.0 text value: "\", ";" and "," escaped.
std::string Escaped30(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == ';' || c == ',') out += '\\';
        out += c;
    }
    return out;
}

std::string Value30(const ContactRecord& r, ContactField field) { return Escaped30(Utf8(r, field)); }

// Base64 of a made-up photo, folded as phones fold it.
std::string FoldedPhoto(int n) {
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string line = "PHOTO;ENCODING=b;TYPE=JPEG:";
    std::string out;
    for (int i = 0; i < 8192; ++i) {
        if (line.size() == 75) {
            out += line + "\r\n";
            line = " ";
        }
        line += Alphabet[(n * 31 + i * 7) % 64];
    }
    return out + line + "\r\n";
}

}  // namespace

std::string PhoneVcardText(const ContactStore& store) {
    std::string out;
    for (int n = 0; n < RecordCount(store); ++n) {
        const ContactRecord& r = *RecordAt(store, n);
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\n";
        out += "N:" + Value30(r, Surname) + ";" + Value30(r, GivenName) + ";;;\r\n";
        out += "FN:" + Value30(r, Surname) + Value30(r, GivenName) + "\r\n";
        out += "NICKNAME:" + Value30(r, Nickname) + "\r\n";
        out += "ORG:" + Value30(r, Company) + ";" + Value30(r, Department) + "\r\n";
        out += "TITLE:" + Value30(r, JobTitle) + "\r\n";
        out += "item1.EMAIL;type=INTERNET;type=pref:" + Value30(r, Email) + "\r\n";
        out += "TEL;type=CELL;type=VOICE;type=pref:" + Value30(r, Mobile) + "\r\n";
        out += "TEL;type=HOME;type=VOICE:" + Value30(r, HomePhone) + "\r\n";
        out += "TEL;type=WORK;type=VOICE:" + Value30(r, WorkPhone) + "\r\n";
        out += "TEL;type=HOME;type=FAX:" + Value30(r, HomeFax) + "\r\n";
        out += "TEL;type=WORK;type=FAX:" + Value30(r, WorkFax) + "\r\n";
        for (const AddressFields* address : {&HomeAddress, &WorkAddress}) {
            out += std::string("item2.ADR;type=") + (address == &HomeAddress ? "HOME" : "WORK") + ":;;";
            for (int i = 0; i < AddressFieldCount; ++i) out += (i > 0 ? ";" : "") + Value30(r, address->fields[i]);
            out += "\r\nitem2.X-ABADR:cn\r\n";
        }
        out += "X-QQ:" + Value30(r, QQNumber) + "\r\n";
        out += "BDAY;value=date:" + FieldValue(r, BirthYear) + "-" + FieldValue(r, BirthMonth) + "-" +
               FieldValue(r, BirthDay) + "\r\n";
        out += FoldedPhoto(n);
        out += "END:VCARD\r\n";
    }
    return out;
}

namespace {

// A cell as Google writes it: quoted when it holds a comma or a quote.
std::string GoogleCell(const std::string& utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string::npos) return utf8;
    std::string quoted = "\"";
    for (char c : utf8) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string GoogleCsvText(const ContactStore& store) {
    // Google's header of today, with three phones and one address.
    std::string text =
        "\xEF\xBB\xBF"
        "First Name,Middle Name,Last Name,Phonetic First Name,Phonetic Middle Name,Phonetic Last Name,"
        "Name Prefix,Name Suffix,Nickname,File As,Organization Name,Organization Title,Organization Department,"
        "Birthday,Notes,Photo,Labels,E-mail 1 - Label,E-mail 1 - Value,Phone 1 - Label,Phone 1 - Value,"
        "Phone 2 - Label,Phone 2 - Value,Phone 3 - Label,Phone 3 - Value,Address 1 - Label,Address 1 - Formatted,"
        "Address 1 - Street,Address 1 - City,Address 1 - PO Box,Address 1 - Region,Address 1 - Postal Code,"
        "Address 1 - Country,Address 1 - Extended Address\r\n";
    for (const auto& record : store.records) {
        const ContactRecord& r = *record;
        auto cell = [&r](ContactField field) { return GoogleCell(Utf8(r, field)) + ","; };
        std::string birthday = FieldValue(r, BirthYear) + "-" + FieldValue(r, BirthMonth) + "-" + FieldValue(r, BirthDay);
        text += cell(GivenName) + "," + cell(Surname) + ",,,,," + cell(Nickname) + "," + cell(Company) +
                cell(JobTitle) + cell(Department) + birthday + ",,,* myContacts ::: 组" + std::to_string(r.GroupIndex) +
                ",* Home," + cell(Email) + "Mobile," + cell(Mobile) + "Home," + cell(HomePhone) + "Work," +
                cell(WorkPhone) + "Home,," + cell(HomeStreet) + cell(HomeCity) + "," + cell(HomeProvince) +
                cell(HomePostcode) + GoogleCell(Utf8(r, HomeCountry)) + ",\r\n";
    }
    return text;
}

void TakeFolderOption(int& argc, char**& argv, std::filesystem::path& folder) {
    const char folderOption[] = "--folder=";
    if (argc >= 2 && std::strncmp(argv[1], folderOption, sizeof folderOption - 1) == 0) {
        folder = argv[1] + sizeof folderOption - 1;
        argv[1] = argv[0];
        ++argv;
        --argc;
    }
}

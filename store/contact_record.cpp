#include "store/contact_record.h"

#include <cstring>

#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

#define FIELD(name, title) {name, static_cast<int>(sizeof(ContactRecord::name)), true, offsetof(ContactRecord, name), title}

constexpr ContactFieldInfo fieldTable[ContactFieldCount] = {
    FIELD(Surname, u"姓"),
    FIELD(GivenName, u"名"),
    {Gender, GenderWidth, false, offsetof(ContactRecord, Gender), u"性别"},
    FIELD(BirthYear, u"出生年"),
    FIELD(BirthMonth, u"出生月"),
    FIELD(BirthDay, u"出生日"),
    FIELD(QQNumber, u"QQ"),
    FIELD(Email, u"邮箱"),
    FIELD(Mobile, u"手机"),
    FIELD(Nickname, u"昵称"),
    FIELD(HomeCountry, u"住宅：国家"),
    FIELD(HomeProvince, u"住宅：省"),
    FIELD(HomeCity, u"住宅：市"),
    FIELD(HomeStreet, u"住宅：街道"),
    FIELD(HomePostcode, u"住宅：邮编"),
    FIELD(HomePhone, u"住宅：电话"),
    FIELD(HomeFax, u"住宅：传真"),
    FIELD(WorkCountry, u"工作：国家"),
    FIELD(WorkProvince, u"工作：省"),
    FIELD(WorkCity, u"工作：市"),
    FIELD(WorkStreet, u"工作：街道"),
    FIELD(WorkPostcode, u"工作：邮编"),
    FIELD(WorkPhone, u"工作：电话"),
    FIELD(WorkFax, u"工作：传真"),
    FIELD(Company, u"公司"),
    FIELD(Department, u"部门"),
    FIELD(JobTitle, u"职务"),
};

#undef FIELD

constexpr int FieldsWidth() {
    int width = 0;
    for (const ContactFieldInfo& info : fieldTable) width += info.width;
    return width;
}

constexpr int WidestTextWidth() {
    int widest = 0;
    for (const ContactFieldInfo& info : fieldTable) {
        if (info.isText && info.width > widest) widest = info.width;
    }
    return widest;
}

static_assert(FieldsWidth() + static_cast<int>(sizeof(ContactRecord::GroupIndex)) == RecordFileSize,
              "a file record is the fields of the table end to end, then the group");
static_assert(WidestTextWidth() == WidestFieldWidth, "no text field is wider than WidestFieldWidth");

}  // namespace

const ContactFieldInfo& FieldInfo(ContactField field) { return fieldTable[field]; }

const ContactFieldInfo& FieldInfo(int field) { return fieldTable[field]; }

char* FieldText(ContactRecord& record, ContactField field) {
    return reinterpret_cast<char*>(&record) + fieldTable[field].recordOffset;
}

const char* FieldText(const ContactRecord& record, ContactField field) {
    return reinterpret_cast<const char*>(&record) + fieldTable[field].recordOffset;
}

std::string FieldValue(const ContactRecord& record, ContactField field) {
    return FieldString(FieldText(record, field), fieldTable[field].width);
}

void SetField(ContactRecord& record, ContactField field, const std::string& text) {
    // Neither byte occurs inside a double- or four-byte character.
    bool oneLine = !FindByte(text.data(), text.size(), '\n') && !FindByte(text.data(), text.size(), '\r');
    if (oneLine) {
        CopyToField(FieldText(record, field), fieldTable[field].width, text);
        return;
    }
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        bool lineBreak = text[i] == '\r' || text[i] == '\n';
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        line += lineBreak ? ' ' : text[i];
    }
    CopyToField(FieldText(record, field), fieldTable[field].width, line);
}

ContactRecord EmptyRecord() {
    ContactRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

bool FieldsTerminated(const ContactRecord& record) {
    for (const ContactFieldInfo& info : fieldTable) {
        if (!info.isText) continue;
        const char* text = FieldText(record, info.field);
        if (std::memchr(text, '\0', info.width) == nullptr) return false;
    }
    return true;
}

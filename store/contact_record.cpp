#include "store/contact_record.h"

#include <cstring>

#include "resources/resource.h"
#include "store/fixed_text.h"

namespace {

#define FIELD(name, title, control) \
    {name, static_cast<int>(sizeof(ContactRecord::name)), true, offsetof(ContactRecord, name), title, control}

constexpr ContactFieldInfo fieldTable[ContactFieldCount] = {
    FIELD(Surname, u"姓", IDC_EDIT_SURNAME),
    FIELD(GivenName, u"名", IDC_EDIT_GIVEN_NAME),
    {Gender, GenderWidth, false, offsetof(ContactRecord, Gender), u"性别", IDC_EDIT_GENDER},
    FIELD(BirthYear, u"出生年", IDC_EDIT_BIRTHDAY),
    FIELD(BirthMonth, u"出生月", IDC_EDIT_BIRTHDAY),
    FIELD(BirthDay, u"出生日", IDC_EDIT_BIRTHDAY),
    FIELD(QQNumber, u"QQ", IDC_EDIT_QQ),
    FIELD(Email, u"邮箱", IDC_EDIT_EMAIL),
    FIELD(Mobile, u"手机", IDC_EDIT_MOBILE),
    FIELD(Nickname, u"昵称", IDC_EDIT_NICKNAME),
    FIELD(HomeCountry, u"住宅：国家", IDC_EDIT_HOME_COUNTRY),
    FIELD(HomeProvince, u"住宅：省", IDC_EDIT_HOME_PROVINCE),
    FIELD(HomeCity, u"住宅：市", IDC_EDIT_HOME_CITY),
    FIELD(HomeStreet, u"住宅：街道", IDC_EDIT_HOME_STREET),
    FIELD(HomePostcode, u"住宅：邮编", IDC_EDIT_HOME_POSTCODE),
    FIELD(HomePhone, u"住宅：电话", IDC_EDIT_HOME_PHONE),
    FIELD(HomeFax, u"住宅：传真", IDC_EDIT_HOME_FAX),
    FIELD(WorkCountry, u"工作：国家", IDC_EDIT_WORK_COUNTRY),
    FIELD(WorkProvince, u"工作：省", IDC_EDIT_WORK_PROVINCE),
    FIELD(WorkCity, u"工作：市", IDC_EDIT_WORK_CITY),
    FIELD(WorkStreet, u"工作：街道", IDC_EDIT_WORK_STREET),
    FIELD(WorkPostcode, u"工作：邮编", IDC_EDIT_WORK_POSTCODE),
    FIELD(WorkPhone, u"工作：电话", IDC_EDIT_WORK_PHONE),
    FIELD(WorkFax, u"工作：传真", IDC_EDIT_WORK_FAX),
    FIELD(Company, u"公司", IDC_EDIT_COMPANY),
    FIELD(Department, u"部门", IDC_EDIT_DEPARTMENT),
    FIELD(JobTitle, u"职务", IDC_EDIT_JOB_TITLE),
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
    CopyToField(FieldText(record, field), fieldTable[field].width, text);
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

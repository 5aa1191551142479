#include "listview/columns.h"

#include <cstring>

#include "store/birthday.h"
#include "store/fixed_text.h"

const char16_t NameColumnHeader[] = u"姓名";

namespace {

#define ONE_FIELD(flag, header, width, field) \
    { flag, header, width, CellFormat::RunTogether, {field}, 1 }

const ColumnInfo columnTable[ColumnFlagCount] = {
    {GenderColumn, u"性别", 40, CellFormat::GenderWord, {Gender}, 1},
    ONE_FIELD(NicknameColumn, u"昵称", 80, Nickname),
    {BirthdayColumn, u"生日", 130, CellFormat::Birthday, {BirthYear, BirthMonth, BirthDay}, 3},
    ONE_FIELD(MobileColumn, u"手机号", 130, Mobile),
    ONE_FIELD(QQColumn, u"QQ号", 130, QQNumber),
    ONE_FIELD(EmailColumn, u"邮箱", 150, Email),
    {HomeAddressColumn, u"家庭住址", 200, CellFormat::RunTogether,
     {HomeCountry, HomeProvince, HomeCity, HomeStreet}, 4},
    {WorkAddressColumn, u"工作地址", 200, CellFormat::RunTogether,
     {WorkCountry, WorkProvince, WorkCity, WorkStreet}, 4},
    ONE_FIELD(HomePhoneColumn, u"家庭电话", 100, HomePhone),
    ONE_FIELD(WorkPhoneColumn, u"公司电话", 100, WorkPhone),
    ONE_FIELD(CompanyColumn, u"公司", 150, Company),
    ONE_FIELD(DepartmentColumn, u"部门", 100, Department),
    ONE_FIELD(JobTitleColumn, u"职务", 100, JobTitle),
    ONE_FIELD(WorkPostcodeColumn, u"工作邮编", 80, WorkPostcode),
    ONE_FIELD(WorkFaxColumn, u"工作传真", 100, WorkFax),
    ONE_FIELD(HomePostcodeColumn, u"家庭邮编", 80, HomePostcode),
    ONE_FIELD(HomeFaxColumn, u"家庭传真", 100, HomeFax),
};

#undef ONE_FIELD

// The GBK words the cells use, converted once.
struct CellWords {
    std::string male = GbkText(GenderWord(false));
    std::string female = GbkText(GenderWord(true));
    std::string units[3] = {GbkText(u"年"), GbkText(u"月"), GbkText(u"日")};
};

const CellWords& Words() {
    static const CellWords words;
    return words;
}

}  // namespace

const ColumnInfo& ColumnInfoOf(int flag) { return columnTable[flag]; }

int NthShownColumn(const int32_t flags[ColumnFlagCount], int n) {
    if (n < 0) return -1;
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        if (IsColumnShown(flags, flag) && n-- == 0) return flag;
    }
    return -1;
}

namespace {

void AppendField(const ContactRecord& record, ContactField field, std::string& out,
                 const ContactDetails* details = nullptr) {
    if (details && !details->wholes.empty() && details->wholes.count(field)) {
        out += WholeFieldValue(record, *details, field);
        return;
    }
    const char* text = FieldText(record, field);
    out.append(text, strnlen(text, static_cast<size_t>(FieldInfo(field).width)));
}

}  // namespace

void AppendNameText(const ContactRecord& record, std::string& out, const ContactDetails* details) {
    AppendField(record, Surname, out, details);
    AppendField(record, GivenName, out, details);
}

void AppendColumnText(const ContactRecord& record, int flag, std::string& out, const ContactDetails* details) {
    const ColumnInfo& column = columnTable[flag];
    switch (column.format) {
        case CellFormat::GenderWord:
            out += IsShownFemale(record.Gender) ? Words().female : Words().male;
            break;
        case CellFormat::Birthday: {
            // A part that is missing takes its unit with it ("4月22日",
            // "1990年5月"); a birthday of no parts shows the three units.
            bool none = !HasBirthday(record);
            for (int i = 0; i < column.fieldCount; ++i) {
                if (!none && FieldText(record, column.fields[i])[0] == '\0') continue;
                AppendField(record, column.fields[i], out, details);
                out += Words().units[i];
            }
            break;
        }
        case CellFormat::RunTogether:
            for (int i = 0; i < column.fieldCount; ++i) AppendField(record, column.fields[i], out, details);
            break;
    }
}

std::string NameText(const ContactRecord& record, const ContactDetails* details) {
    std::string text;
    AppendNameText(record, text, details);
    return text;
}

std::string ColumnText(const ContactRecord& record, int flag, const ContactDetails* details) {
    std::string text;
    AppendColumnText(record, flag, text, details);
    return text;
}

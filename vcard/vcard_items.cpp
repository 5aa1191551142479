#include "vcard/vcard_items.h"

#include "platform/platform.h"
#include "store/text_operations.h"
#include "vcard/vcard_lines.h"

namespace {

struct TypedLabel {
    unsigned types;
    const char16_t* label;
};
// Most specific first: the reader takes the first whose types all match.
const TypedLabel TypedLabels[] = {
    {TypeWork | TypeCell, u"工作手机"}, {TypeWork | TypeFax, u"工作传真"}, {TypeHome | TypeFax, u"住宅传真"},
    {TypeWork | TypePager, u"工作寻呼机"}, {TypeCell, u"手机"}, {TypeFax, u"传真"}, {TypePager, u"寻呼机"},
    {TypeWork, u"工作"}, {TypeHome, u"住宅"}, {TypeOther, u"其他"},
};

struct AppleLabel {
    const char* name;
    const char16_t* label;
};
const AppleLabel AppleLabels[] = {
    {"Mobile", u"手机"},       {"Home", u"住宅"},          {"Work", u"工作"},       {"Other", u"其他"},
    {"HomeFAX", u"住宅传真"},  {"WorkFAX", u"工作传真"},   {"Pager", u"寻呼机"},    {"Main", u"主要"},
    {"iPhone", u"iPhone"},     {"HomePage", u"主页"},      {"Anniversary", u"纪念日"}, {"Father", u"父亲"},
    {"Mother", u"母亲"},       {"Parent", u"父母"},        {"Brother", u"兄弟"},    {"Sister", u"姐妹"},
    {"Child", u"子女"},        {"Friend", u"朋友"},        {"Spouse", u"配偶"},     {"Partner", u"伴侣"},
    {"Assistant", u"助理"},    {"Manager", u"经理"},
};

std::string Gbk(const char16_t* text) { return Utf16ToGbk(text); }

}  // namespace

std::string LabelOfTypes(unsigned types, const std::string& typeLabel) {
    types &= ~static_cast<unsigned>(TypePref);
    for (const TypedLabel& typed : TypedLabels) {
        if ((types & typed.types) == typed.types) return Gbk(typed.label);
    }
    return typeLabel;
}

std::string LabelOfAbLabel(const std::string& abLabel) {
    std::string text = abLabel;
    const std::string open = "_$!<", close = ">!$_";
    if (text.size() > open.size() + close.size() && text.compare(0, open.size(), open) == 0 &&
        text.compare(text.size() - close.size(), close.size(), close) == 0) {
        text = text.substr(open.size(), text.size() - open.size() - close.size());
        for (const AppleLabel& apple : AppleLabels) {
            if (SameNoCase(text, apple.name)) return Gbk(apple.label);
        }
    }
    return text;
}

unsigned TypesOfLabel(const std::string& label) {
    for (const TypedLabel& typed : TypedLabels) {
        if (label == Gbk(typed.label)) return typed.types;
    }
    return 0;
}

std::string AnniversaryLabel() { return Gbk(u"纪念日"); }
std::string NicknameLabel() { return Gbk(u"昵称"); }

ContactField TypedField(unsigned types) {
    if (types & TypeCell) return Mobile;
    if (types & TypeFax) return types & TypeHome ? HomeFax : WorkFax;
    if (types & TypeWork) return WorkPhone;
    if (types & TypeHome) return HomePhone;
    return NoPhoneField;
}

ContactField OtherTypedField(unsigned types) {
    if (!(types & (TypeCell | TypeFax))) return NoPhoneField;
    if (types & TypeWork) return WorkPhone;
    if (types & TypeHome) return HomePhone;
    return NoPhoneField;
}

bool TypesNameFreeField(const ContactRecord& record, unsigned types) {
    for (ContactField field : {TypedField(types), OtherTypedField(types)}) {
        if (field != NoPhoneField && FieldText(record, field)[0] == '\0') return true;
    }
    return false;
}

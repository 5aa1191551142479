// Facts from outside: the column titles that other programs write in their
// CSV exports, copied from the header lines of real exports and of the
// programs' own translation files. A title here changes nothing in those
// programs; add a title when a new version writes one.
//
// Sources, one per table:
// - Google Contacts: "Google CSV" as exported since 2023 (UTF-8 with a
//   byte-order mark) and the older "Google CSV" (UTF-16).
// - Outlook, English: Outlook for Windows ("Comma Separated Values"),
//   outlook.com, Google's "Outlook CSV", Windows Live Mail.
// - Outlook, Chinese: Outlook for Windows in Simplified Chinese ("逗号分隔
//   值", GBK, 92 quoted columns) and Windows Live Mail in Simplified Chinese.
// - Thunderbird, English and Simplified Chinese, the titles of its export
//   since its early releases.
// - QQ同步助手 (ic.qq.com), "导出联系人" as CSV.
#include "csv/csv_layouts.h"
#include "store/contact_details.h"

#include "store/contact_record.h"
#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

const CsvTitleRule GoogleTitles[] = {
    // Since 2023.
    {u"First Name", CsvRole::Field, GivenName},
    {u"Middle Name", CsvRole::MiddleName, 0},
    {u"Last Name", CsvRole::Field, Surname},
    {u"Phonetic First Name", CsvRole::Ignored, 0},
    {u"Phonetic Middle Name", CsvRole::Ignored, 0},
    {u"Phonetic Last Name", CsvRole::Ignored, 0},
    {u"Name Prefix", CsvRole::Ignored, 0},
    {u"Name Suffix", CsvRole::Ignored, 0},
    {u"Nickname", CsvRole::Field, Nickname},
    {u"File As", CsvRole::DisplayName, 0},
    {u"Organization Name", CsvRole::Field, Company},
    {u"Organization Title", CsvRole::Field, JobTitle},
    {u"Organization Department", CsvRole::Field, Department},
    {u"Birthday", CsvRole::Birthday, 0},
    {u"Notes", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
    {u"Photo", CsvRole::Ignored, 0},
    {u"Labels", CsvRole::Group, 0},
    {u"E-mail # - Label", CsvRole::EmailLabel, 0},
    {u"E-mail # - Value", CsvRole::EmailValue, 0},
    {u"Phone # - Label", CsvRole::PhoneLabel, 0},
    {u"Phone # - Value", CsvRole::PhoneValue, 0},
    {u"Address # - Label", CsvRole::AddressLabel, 0},
    {u"Address # - Formatted", CsvRole::TypedAddress, AddressFormatted},
    {u"Address # - Street", CsvRole::TypedAddress, AddressStreet},
    {u"Address # - City", CsvRole::TypedAddress, AddressCity},
    {u"Address # - PO Box", CsvRole::TypedAddress, AddressStreet},
    {u"Address # - Region", CsvRole::TypedAddress, AddressRegion},
    {u"Address # - Postal Code", CsvRole::TypedAddress, AddressPostcode},
    {u"Address # - Country", CsvRole::TypedAddress, AddressCountry},
    {u"Address # - Extended Address", CsvRole::TypedAddress, AddressStreet},
    {u"Website # - Label", CsvRole::ItemLabel, static_cast<int>(ItemKind::Url)},
    {u"Website # - Value", CsvRole::ItemValue, static_cast<int>(ItemKind::Url)},
    {u"Event # - Label", CsvRole::ItemLabel, static_cast<int>(ItemKind::Date)},
    {u"Event # - Value", CsvRole::ItemValue, static_cast<int>(ItemKind::Date)},
    {u"Relation # - Label", CsvRole::ItemLabel, static_cast<int>(ItemKind::Related)},
    {u"Relation # - Value", CsvRole::ItemValue, static_cast<int>(ItemKind::Related)},
    {u"IM # - Label", CsvRole::ItemLabel, static_cast<int>(ItemKind::Im)},
    {u"IM # - Service", CsvRole::ItemService, static_cast<int>(ItemKind::Im)},
    {u"IM # - Value", CsvRole::ItemValue, static_cast<int>(ItemKind::Im)},
    {u"Custom Field # - Label", CsvRole::ItemLabel, static_cast<int>(ItemKind::Custom)},
    {u"Custom Field # - Value", CsvRole::ItemValue, static_cast<int>(ItemKind::Custom)},
    // Before 2023.
    {u"Name", CsvRole::DisplayName, 0},
    {u"Given Name", CsvRole::Field, GivenName},
    {u"Additional Name", CsvRole::MiddleName, 0},
    {u"Family Name", CsvRole::Field, Surname},
    {u"Yomi Name", CsvRole::Ignored, 0},
    {u"Given Name Yomi", CsvRole::Ignored, 0},
    {u"Additional Name Yomi", CsvRole::Ignored, 0},
    {u"Family Name Yomi", CsvRole::Ignored, 0},
    {u"Initials", CsvRole::Ignored, 0},
    {u"Short Name", CsvRole::Ignored, 0},
    {u"Maiden Name", CsvRole::Ignored, 0},
    {u"Gender", CsvRole::Gender, 0},
    {u"Location", CsvRole::Ignored, 0},
    {u"Billing Information", CsvRole::Ignored, 0},
    {u"Directory Server", CsvRole::Ignored, 0},
    {u"Mileage", CsvRole::Ignored, 0},
    {u"Occupation", CsvRole::Ignored, 0},
    {u"Hobby", CsvRole::Ignored, 0},
    {u"Sensitivity", CsvRole::Ignored, 0},
    {u"Priority", CsvRole::Ignored, 0},
    {u"Subject", CsvRole::Ignored, 0},
    {u"Group Membership", CsvRole::Group, 0},
    {u"E-mail # - Type", CsvRole::EmailLabel, 0},
    {u"Phone # - Type", CsvRole::PhoneLabel, 0},
    {u"Address # - Type", CsvRole::AddressLabel, 0},
    {u"Organization # - Type", CsvRole::Ignored, 0},
    {u"Organization # - Name", CsvRole::Field, Company},
    {u"Organization # - Yomi Name", CsvRole::Ignored, 0},
    {u"Organization # - Title", CsvRole::Field, JobTitle},
    {u"Organization # - Department", CsvRole::Field, Department},
    {u"Organization # - Symbol", CsvRole::Ignored, 0},
    {u"Organization # - Location", CsvRole::Ignored, 0},
    {u"Organization # - Job Description", CsvRole::Ignored, 0},
    {u"Relation # - Type", CsvRole::ItemLabel, static_cast<int>(ItemKind::Related)},
    {u"Website # - Type", CsvRole::ItemLabel, static_cast<int>(ItemKind::Url)},
    {u"Event # - Type", CsvRole::ItemLabel, static_cast<int>(ItemKind::Date)},
    {u"IM # - Type", CsvRole::ItemLabel, static_cast<int>(ItemKind::Im)},
    {u"Custom Field # - Type", CsvRole::ItemLabel, static_cast<int>(ItemKind::Custom)},
};

const CsvTitleRule OutlookEnglishTitles[] = {
    {u"Title", CsvRole::Ignored, 0},
    {u"First Name", CsvRole::Field, GivenName},
    {u"Middle Name", CsvRole::MiddleName, 0},
    {u"Last Name", CsvRole::Field, Surname},
    {u"Suffix", CsvRole::Ignored, 0},
    {u"Name", CsvRole::DisplayName, 0},  // Windows Live Mail
    {u"Nickname", CsvRole::Field, Nickname},
    {u"Given Yomi", CsvRole::Ignored, 0},
    {u"Surname Yomi", CsvRole::Ignored, 0},
    {u"Company", CsvRole::Field, Company},
    {u"Company Yomi", CsvRole::Ignored, 0},
    {u"Department", CsvRole::Field, Department},
    {u"Job Title", CsvRole::Field, JobTitle},
    {u"Business Address", CsvRole::WorkAddress, AddressFormatted},
    {u"Business Street", CsvRole::WorkAddress, AddressStreet},
    {u"Business Street 2", CsvRole::WorkAddress, AddressStreet},
    {u"Business Street 3", CsvRole::WorkAddress, AddressStreet},
    {u"Business Address PO Box", CsvRole::WorkAddress, AddressStreet},
    {u"Business City", CsvRole::WorkAddress, AddressCity},
    {u"Business State", CsvRole::WorkAddress, AddressRegion},
    {u"Business Postal Code", CsvRole::WorkAddress, AddressPostcode},
    {u"Business Country/Region", CsvRole::WorkAddress, AddressCountry},
    {u"Business Country", CsvRole::WorkAddress, AddressCountry},
    {u"Home Address", CsvRole::HomeAddress, AddressFormatted},
    {u"Home Street", CsvRole::HomeAddress, AddressStreet},
    {u"Home Street 2", CsvRole::HomeAddress, AddressStreet},
    {u"Home Street 3", CsvRole::HomeAddress, AddressStreet},
    {u"Home Address PO Box", CsvRole::HomeAddress, AddressStreet},
    {u"Home City", CsvRole::HomeAddress, AddressCity},
    {u"Home State", CsvRole::HomeAddress, AddressRegion},
    {u"Home Postal Code", CsvRole::HomeAddress, AddressPostcode},
    {u"Home Country/Region", CsvRole::HomeAddress, AddressCountry},
    {u"Home Country", CsvRole::HomeAddress, AddressCountry},
    {u"Other Address", CsvRole::OtherAddress, AddressFormatted},
    {u"Other Street", CsvRole::OtherAddress, AddressStreet},
    {u"Other Street 2", CsvRole::OtherAddress, AddressStreet},
    {u"Other Street 3", CsvRole::OtherAddress, AddressStreet},
    {u"Other Address PO Box", CsvRole::OtherAddress, AddressStreet},
    {u"Other City", CsvRole::OtherAddress, AddressCity},
    {u"Other State", CsvRole::OtherAddress, AddressRegion},
    {u"Other Postal Code", CsvRole::OtherAddress, AddressPostcode},
    {u"Other Country/Region", CsvRole::OtherAddress, AddressCountry},
    {u"Other Country", CsvRole::OtherAddress, AddressCountry},
    {u"Assistant's Phone", CsvRole::Ignored, 0},
    {u"Business Fax", CsvRole::Field, WorkFax},
    {u"Business Phone", CsvRole::Field, WorkPhone},
    {u"Business Phone 2", CsvRole::SparePhone, 0},
    {u"Callback", CsvRole::SparePhone, 0},
    {u"Car Phone", CsvRole::SparePhone, 0},
    {u"Company Main Phone", CsvRole::SparePhone, 0},
    {u"Home Fax", CsvRole::Field, HomeFax},
    {u"Home Phone", CsvRole::Field, HomePhone},
    {u"Home Phone 2", CsvRole::SparePhone, 0},
    {u"ISDN", CsvRole::SparePhone, 0},
    {u"Mobile Phone", CsvRole::Field, Mobile},
    {u"Other Fax", CsvRole::SpareFax, 0},
    {u"Other Phone", CsvRole::SparePhone, 0},
    {u"Pager", CsvRole::SparePhone, 0},
    {u"Primary Phone", CsvRole::SparePhone, 0},
    {u"Radio Phone", CsvRole::SparePhone, 0},
    {u"TTY/TDD Phone", CsvRole::Ignored, 0},
    {u"Telex", CsvRole::Ignored, 0},
    {u"IMAddress", CsvRole::Ignored, 0},
    {u"Account", CsvRole::Ignored, 0},
    {u"Anniversary", CsvRole::Ignored, 0},
    {u"Assistant's Name", CsvRole::Ignored, 0},
    {u"Billing Information", CsvRole::Ignored, 0},
    {u"Birthday", CsvRole::Birthday, 0},
    {u"Categories", CsvRole::Group, 0},
    {u"Children", CsvRole::Ignored, 0},
    {u"Directory Server", CsvRole::Ignored, 0},
    {u"E-mail Address", CsvRole::Field, Email},
    {u"E-mail Type", CsvRole::Ignored, 0},
    {u"E-mail Display Name", CsvRole::Ignored, 0},
    {u"E-mail 2 Address", CsvRole::Field, Email},
    {u"E-mail 2 Type", CsvRole::Ignored, 0},
    {u"E-mail 2 Display Name", CsvRole::Ignored, 0},
    {u"E-mail 3 Address", CsvRole::Field, Email},
    {u"E-mail 3 Type", CsvRole::Ignored, 0},
    {u"E-mail 3 Display Name", CsvRole::Ignored, 0},
    {u"Gender", CsvRole::Gender, 0},
    {u"Government ID Number", CsvRole::Ignored, 0},
    {u"Hobby", CsvRole::Ignored, 0},
    {u"Initials", CsvRole::Ignored, 0},
    {u"Internet Free Busy", CsvRole::Ignored, 0},
    {u"Keywords", CsvRole::Ignored, 0},
    {u"Language", CsvRole::Ignored, 0},
    {u"Location", CsvRole::Ignored, 0},
    {u"Manager's Name", CsvRole::Ignored, 0},
    {u"Mileage", CsvRole::Ignored, 0},
    {u"Notes", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
    {u"Office Location", CsvRole::Ignored, 0},
    {u"Organizational ID Number", CsvRole::Ignored, 0},
    {u"Priority", CsvRole::Ignored, 0},
    {u"Private", CsvRole::Ignored, 0},
    {u"Profession", CsvRole::Ignored, 0},
    {u"Referred By", CsvRole::Ignored, 0},
    {u"Sensitivity", CsvRole::Ignored, 0},
    {u"Spouse", CsvRole::Ignored, 0},
    {u"Schools", CsvRole::Ignored, 0},
    {u"User 1", CsvRole::Ignored, 0},
    {u"User 2", CsvRole::Ignored, 0},
    {u"User 3", CsvRole::Ignored, 0},
    {u"User 4", CsvRole::Ignored, 0},
    {u"Web Page", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"Personal Web Page", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"Business Web Page", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
};

const CsvTitleRule OutlookChineseTitles[] = {
    {u"英文称谓", CsvRole::Ignored, 0},
    {u"名", CsvRole::Field, GivenName},
    {u"中间名", CsvRole::MiddleName, 0},
    {u"姓", CsvRole::Field, Surname},
    {u"中文称谓", CsvRole::Ignored, 0},
    {u"称谓", CsvRole::Ignored, 0},
    {u"名字", CsvRole::DisplayName, 0},  // Windows Live Mail
    {u"昵称", CsvRole::Field, Nickname},
    {u"单位", CsvRole::Field, Company},
    {u"公司", CsvRole::Field, Company},
    {u"部门", CsvRole::Field, Department},
    {u"职务", CsvRole::Field, JobTitle},
    {u"商务地址 街道", CsvRole::WorkAddress, AddressStreet},
    {u"商务地址 街道 2", CsvRole::WorkAddress, AddressStreet},
    {u"商务地址 街道 3", CsvRole::WorkAddress, AddressStreet},
    {u"商务地址 - 邮箱", CsvRole::WorkAddress, AddressStreet},
    {u"商务地址 市/县", CsvRole::WorkAddress, AddressCity},
    {u"商务地址 省/市/自治区", CsvRole::WorkAddress, AddressRegion},
    {u"商务地址 邮政编码", CsvRole::WorkAddress, AddressPostcode},
    {u"商务地址 国家/地区", CsvRole::WorkAddress, AddressCountry},
    {u"住宅地址 街道", CsvRole::HomeAddress, AddressStreet},
    {u"住宅地址 街道 2", CsvRole::HomeAddress, AddressStreet},
    {u"住宅地址 街道 3", CsvRole::HomeAddress, AddressStreet},
    {u"住宅地址 - 邮箱", CsvRole::HomeAddress, AddressStreet},
    {u"住宅地址 市/县", CsvRole::HomeAddress, AddressCity},
    {u"住宅地址 省/市/自治区", CsvRole::HomeAddress, AddressRegion},
    {u"住宅地址 邮政编码", CsvRole::HomeAddress, AddressPostcode},
    {u"住宅地址 国家/地区", CsvRole::HomeAddress, AddressCountry},
    {u"其他地址 街道", CsvRole::OtherAddress, AddressStreet},
    {u"其他地址 街道 2", CsvRole::OtherAddress, AddressStreet},
    {u"其他地址 街道 3", CsvRole::OtherAddress, AddressStreet},
    {u"其他地址 - 邮箱", CsvRole::OtherAddress, AddressStreet},
    {u"其他地址 市/县", CsvRole::OtherAddress, AddressCity},
    {u"其他地址 省/市/自治区", CsvRole::OtherAddress, AddressRegion},
    {u"其他地址 邮政编码", CsvRole::OtherAddress, AddressPostcode},
    {u"其他地址 国家/地区", CsvRole::OtherAddress, AddressCountry},
    // Windows Live Mail.
    {u"住宅所在街道", CsvRole::HomeAddress, AddressStreet},
    {u"住宅所在市/县", CsvRole::HomeAddress, AddressCity},
    {u"住宅所在地的邮政编码", CsvRole::HomeAddress, AddressPostcode},
    {u"住宅所在省/市/自治区", CsvRole::HomeAddress, AddressRegion},
    {u"住宅所在国家/地区", CsvRole::HomeAddress, AddressCountry},
    {u"工作所在地街道", CsvRole::WorkAddress, AddressStreet},
    {u"公司所在城市", CsvRole::WorkAddress, AddressCity},
    {u"公司所在地的邮政编码", CsvRole::WorkAddress, AddressPostcode},
    {u"公司所在省/市/自治区", CsvRole::WorkAddress, AddressRegion},
    {u"公司所在国家/地区", CsvRole::WorkAddress, AddressCountry},
    {u"助理的电话", CsvRole::Ignored, 0},
    {u"商务传真", CsvRole::Field, WorkFax},
    {u"商务电话", CsvRole::Field, WorkPhone},
    {u"商务电话 2", CsvRole::SparePhone, 0},
    {u"回电话", CsvRole::SparePhone, 0},
    {u"车载电话", CsvRole::SparePhone, 0},
    {u"单位主要电话", CsvRole::SparePhone, 0},
    {u"住宅传真", CsvRole::Field, HomeFax},
    {u"住宅电话", CsvRole::Field, HomePhone},
    {u"住宅电话 2", CsvRole::SparePhone, 0},
    {u"ISDN", CsvRole::SparePhone, 0},
    {u"移动电话", CsvRole::Field, Mobile},
    {u"其他传真", CsvRole::SpareFax, 0},
    {u"其他电话", CsvRole::SparePhone, 0},
    {u"寻呼机", CsvRole::SparePhone, 0},
    {u"主要电话", CsvRole::SparePhone, 0},
    {u"无绳电话", CsvRole::SparePhone, 0},
    {u"TTY/TDD 电话", CsvRole::Ignored, 0},
    {u"电报", CsvRole::Ignored, 0},
    {u"Internet 忙闲", CsvRole::Ignored, 0},
    {u"办公地点", CsvRole::Ignored, 0},
    {u"办公地址", CsvRole::Ignored, 0},
    {u"地点", CsvRole::Ignored, 0},
    {u"电子邮件地址", CsvRole::Field, Email},
    {u"电子邮件类型", CsvRole::Ignored, 0},
    {u"电子邮件显示名称", CsvRole::Ignored, 0},
    {u"电子邮件 2 地址", CsvRole::Field, Email},
    {u"电子邮件 2 类型", CsvRole::Ignored, 0},
    {u"电子邮件 2 显示名", CsvRole::Ignored, 0},
    {u"电子邮件 3 地址", CsvRole::Field, Email},
    {u"电子邮件 3 类型", CsvRole::Ignored, 0},
    {u"电子邮件 3 显示名", CsvRole::Ignored, 0},
    {u"附注", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
    {u"注释", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
    {u"工作证号码", CsvRole::Ignored, 0},
    {u"关键词", CsvRole::Ignored, 0},
    {u"记帐信息", CsvRole::Ignored, 0},
    {u"纪念日", CsvRole::ItemText, static_cast<int>(ItemKind::Date)},
    {u"经理姓名", CsvRole::Ignored, 0},
    {u"类别", CsvRole::Group, 0},
    {u"里程", CsvRole::Ignored, 0},
    {u"敏感度", CsvRole::Ignored, 0},
    {u"目录服务器", CsvRole::Ignored, 0},
    {u"配偶", CsvRole::Ignored, 0},
    {u"身份证编号", CsvRole::Ignored, 0},
    {u"生日", CsvRole::Birthday, 0},
    {u"私有", CsvRole::Ignored, 0},
    {u"缩写", CsvRole::Ignored, 0},
    {u"网页", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"个人网页", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"公司网页", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"性别", CsvRole::Gender, 0},
    {u"业余爱好", CsvRole::Ignored, 0},
    {u"引用者", CsvRole::Ignored, 0},
    {u"用户 1", CsvRole::Ignored, 0},
    {u"用户 2", CsvRole::Ignored, 0},
    {u"用户 3", CsvRole::Ignored, 0},
    {u"用户 4", CsvRole::Ignored, 0},
    {u"优先级", CsvRole::Ignored, 0},
    {u"语言", CsvRole::Ignored, 0},
    {u"帐户", CsvRole::Ignored, 0},
    {u"职业", CsvRole::Ignored, 0},
    {u"助理的姓名", CsvRole::Ignored, 0},
    {u"子女", CsvRole::Ignored, 0},
};

const CsvTitleRule ThunderbirdEnglishTitles[] = {
    {u"First Name", CsvRole::Field, GivenName},
    {u"Last Name", CsvRole::Field, Surname},
    {u"Display Name", CsvRole::DisplayName, 0},
    {u"Nickname", CsvRole::Field, Nickname},
    {u"Primary Email", CsvRole::Field, Email},
    {u"Secondary Email", CsvRole::Field, Email},
    {u"Screen Name", CsvRole::ItemText, static_cast<int>(ItemKind::Im)},
    {u"Work Phone", CsvRole::Field, WorkPhone},
    {u"Home Phone", CsvRole::Field, HomePhone},
    {u"Fax Number", CsvRole::SpareFax, 0},
    {u"Pager Number", CsvRole::SparePhone, 0},
    {u"Mobile Number", CsvRole::Field, Mobile},
    {u"Home Address", CsvRole::HomeAddress, AddressStreet},
    {u"Home Address 2", CsvRole::HomeAddress, AddressStreet},
    {u"Home City", CsvRole::HomeAddress, AddressCity},
    {u"Home State", CsvRole::HomeAddress, AddressRegion},
    {u"Home ZipCode", CsvRole::HomeAddress, AddressPostcode},
    {u"Home Country", CsvRole::HomeAddress, AddressCountry},
    {u"Work Address", CsvRole::WorkAddress, AddressStreet},
    {u"Work Address 2", CsvRole::WorkAddress, AddressStreet},
    {u"Work City", CsvRole::WorkAddress, AddressCity},
    {u"Work State", CsvRole::WorkAddress, AddressRegion},
    {u"Work ZipCode", CsvRole::WorkAddress, AddressPostcode},
    {u"Work Country", CsvRole::WorkAddress, AddressCountry},
    {u"Job Title", CsvRole::Field, JobTitle},
    {u"Department", CsvRole::Field, Department},
    {u"Organization", CsvRole::Field, Company},
    {u"Web Page 1", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"Web Page 2", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"Birth Year", CsvRole::Field, BirthYear},
    {u"Birth Month", CsvRole::Field, BirthMonth},
    {u"Birth Day", CsvRole::Field, BirthDay},
    {u"Custom 1", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"Custom 2", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"Custom 3", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"Custom 4", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"Notes", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
};

// City, province, postcode and (in the oldest titles) country stand twice:
// home, then work.
const CsvTitleRule ThunderbirdChineseTitles[] = {
    {u"名字", CsvRole::Field, GivenName},
    {u"姓氏", CsvRole::Field, Surname},
    {u"显示名称", CsvRole::DisplayName, 0},
    {u"昵称", CsvRole::Field, Nickname},
    {u"主要电子邮件", CsvRole::Field, Email},
    {u"备用电子邮件", CsvRole::Field, Email},
    {u"屏幕名", CsvRole::ItemText, static_cast<int>(ItemKind::Im)},
    {u"工作电话", CsvRole::Field, WorkPhone},
    {u"家庭电话", CsvRole::Field, HomePhone},
    {u"传真号码", CsvRole::SpareFax, 0},
    {u"寻呼机号码", CsvRole::SparePhone, 0},
    {u"移动电话号码", CsvRole::Field, Mobile},
    {u"家庭地址", CsvRole::HomeAddress, AddressStreet},
    {u"家庭地址 2", CsvRole::HomeAddress, AddressStreet},
    {u"城市", CsvRole::HomeAddress, AddressCity},
    {u"省/自治区/直辖市", CsvRole::HomeAddress, AddressRegion},
    {u"居住地省/自治区/直辖市", CsvRole::HomeAddress, AddressRegion},
    {u"邮政编码", CsvRole::HomeAddress, AddressPostcode},
    {u"居住国家/地区", CsvRole::HomeAddress, AddressCountry},
    {u"国家", CsvRole::HomeAddress, AddressCountry},
    {u"工作地址", CsvRole::WorkAddress, AddressStreet},
    {u"工作地址 2", CsvRole::WorkAddress, AddressStreet},
    {u"城市", CsvRole::WorkAddress, AddressCity},
    {u"省/自治区/直辖市", CsvRole::WorkAddress, AddressRegion},
    {u"工作地省/自治区/直辖市", CsvRole::WorkAddress, AddressRegion},
    {u"邮政编码", CsvRole::WorkAddress, AddressPostcode},
    {u"工作国家/地区", CsvRole::WorkAddress, AddressCountry},
    {u"国家", CsvRole::WorkAddress, AddressCountry},
    {u"职务", CsvRole::Field, JobTitle},
    {u"部门", CsvRole::Field, Department},
    {u"公司", CsvRole::Field, Company},
    {u"网页 1", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"网页 2", CsvRole::ItemText, static_cast<int>(ItemKind::Url)},
    {u"出生年份", CsvRole::Field, BirthYear},
    {u"出生月份", CsvRole::Field, BirthMonth},
    {u"出生日", CsvRole::Field, BirthDay},
    {u"定制 1", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"定制 2", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"定制 3", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"定制 4", CsvRole::ItemText, static_cast<int>(ItemKind::Custom)},
    {u"注释", CsvRole::ItemText, static_cast<int>(ItemKind::Note)},
};

// Its columns vary with the data: 手机 and 性别 stand only when some
// contact has one.
const CsvTitleRule QqSyncTitles[] = {
    {u"姓", CsvRole::Field, Surname},
    {u"名", CsvRole::Field, GivenName},
    {u"前缀", CsvRole::Ignored, 0},
    {u"后缀", CsvRole::Ignored, 0},
    {u"昵称", CsvRole::Field, Nickname},
    {u"QQ", CsvRole::Field, QQNumber},
    {u"性别", CsvRole::Gender, 0},
    {u"手机", CsvRole::Field, Mobile},
    {u"家庭电话", CsvRole::Field, HomePhone},
    {u"单位", CsvRole::Field, Company},
    {u"商务地址 国家/地区", CsvRole::WorkAddress, AddressCountry},
    {u"商务地址 市/县", CsvRole::WorkAddress, AddressCity},
    {u"商务地址 省/市/自治区", CsvRole::WorkAddress, AddressRegion},
    {u"商务地址 街道", CsvRole::WorkAddress, AddressStreet},
    {u"商务地址 邮政编码", CsvRole::WorkAddress, AddressPostcode},
    {u"工作电话", CsvRole::Field, WorkPhone},
    {u"工作电话 2", CsvRole::SparePhone, 0},
    {u"备注", CsvRole::Ignored, 0},
    {u"电子邮件", CsvRole::Field, Email},
    {u"家庭邮箱", CsvRole::Field, Email},
    {u"其他手机", CsvRole::SparePhone, 0},
    {u"其他手机 2", CsvRole::SparePhone, 0},
    {u"其他手机 3", CsvRole::SparePhone, 0},
    {u"公司/部门", CsvRole::Field, Department},
    {u"生日", CsvRole::Birthday, 0},
    {u"qq同步助手 分组", CsvRole::Group, 0},
};

template <size_t N>
CsvLayout Layout(const char* name, bool monthFirst, const CsvTitleRule (&rules)[N]) {
    return CsvLayout{name, monthFirst, rules, static_cast<int>(N)};
}

}  // namespace

const std::vector<CsvLayout>& CsvLayouts() {
    static const std::vector<CsvLayout> layouts = {
        Layout("Google Contacts", false, GoogleTitles),
        Layout("Outlook (English)", true, OutlookEnglishTitles),
        Layout("Outlook (Chinese)", false, OutlookChineseTitles),
        Layout("Thunderbird (English)", false, ThunderbirdEnglishTitles),
        Layout("Thunderbird (Chinese)", false, ThunderbirdChineseTitles),
        Layout("QQ sync assistant", false, QqSyncTitles),
    };
    return layouts;
}

namespace {

// Google's phone types, as its export writes them, and the words of its
// Chinese pages.
struct PhoneLabel {
    const char16_t* label;
    ContactField field;
};
const PhoneLabel PhoneLabels[] = {
    {u"mobile", Mobile},      {u"cell", Mobile},         {u"手机", Mobile},         {u"移动电话", Mobile},
    {u"home", HomePhone},     {u"住宅", HomePhone},      {u"家庭", HomePhone},      {u"住宅电话", HomePhone},
    {u"work", WorkPhone},     {u"工作", WorkPhone},      {u"单位", WorkPhone},      {u"工作电话", WorkPhone},
    {u"home fax", HomeFax},   {u"住宅传真", HomeFax},    {u"家庭传真", HomeFax},
    {u"work fax", WorkFax},   {u"工作传真", WorkFax},    {u"单位传真", WorkFax},
};

const char16_t* const HomeLabels[] = {u"home", u"住宅", u"家庭"};

// Google marks every contact "myContacts" and the starred ones "starred".
const char16_t* const SystemLabels[] = {u"mycontacts", u"starred"};

// A label as the tables spell it: without the "* " of a primary entry or
// a system label, spaces around it dropped, ASCII letters in lower case
// (a double-byte character is left whole: its second byte may be a letter).
std::string LabelWord(const std::string& label) {
    size_t first = label.find_first_not_of(" *");
    if (first == std::string::npos) return std::string();
    std::string word = label.substr(first, label.find_last_not_of(' ') - first + 1);
    for (size_t i = 0; i < word.size(); ++i) {
        if (static_cast<unsigned char>(word[i]) >= 0x81) {
            ++i;
        } else {
            word[i] = AsciiLower(word[i]);
        }
    }
    return word;
}

}  // namespace

int PhoneFieldForLabel(const std::string& label) {
    std::string word = LabelWord(label);
    for (const PhoneLabel& known : PhoneLabels) {
        if (word == GbkText(known.label)) return known.field;
    }
    return -1;
}

bool IsHomeLabel(const std::string& label) {
    std::string word = LabelWord(label);
    for (const char16_t* home : HomeLabels) {
        if (word == GbkText(home)) return true;
    }
    return false;
}

bool IsSystemLabel(const std::string& label) {
    if (label.compare(0, 1, "*") == 0) return true;
    std::string word = LabelWord(label);
    for (const char16_t* system : SystemLabels) {
        if (word == GbkText(system)) return true;
    }
    return false;
}

// Facts of the vCard files this program reads and writes that both the
// reader and the writer rely on.
#pragma once

#include <string_view>

#include "store/contact_record.h"

const char VcardExtension[] = ".vcf";
const char VcardBegin[] = "BEGIN:VCARD";
const char VcardEnd[] = "END:VCARD";
const char WrittenVcardVersion[] = "2.1";

// Property names, without parameters.
const char VersionProperty[] = "VERSION";
const char NameProperty[] = "N";
const char FormattedNameProperty[] = "FN";
const char NicknameProperty[] = "NICKNAME";
const char OrganisationProperty[] = "ORG";
const char TitleProperty[] = "TITLE";
const char TelephoneProperty[] = "TEL";
const char AddressProperty[] = "ADR";
const char LabelProperty[] = "LABEL";
const char EmailProperty[] = "EMAIL";
const char QQProperty[] = "X-QQ";
const char BirthdayProperty[] = "BDAY";
const char MessagingProperty[] = "IMPP";
const char CategoriesProperty[] = "CATEGORIES";
const char KindProperty[] = "KIND";
const char AppleKindProperty[] = "X-ADDRESSBOOKSERVER-KIND";
const char GenderProperty[] = "GENDER";
const char UrlProperty[] = "URL";
const char NoteProperty[] = "NOTE";
const char UidProperty[] = "UID";
const char AnniversaryProperty[] = "ANNIVERSARY";
const char OldAnniversaryProperty[] = "X-ANNIVERSARY";
const char AppleDateProperty[] = "X-ABDATE";
const char RelatedProperty[] = "RELATED";
const char AppleRelatedProperty[] = "X-ABRELATEDNAMES";
const char AppleLabelProperty[] = "X-ABLabel";
const char CustomProperty[] = "X-CUSTOM";  // an item of a label of its own and no property of its own
const char AndroidCustomProperty[] = "X-ANDROID-CUSTOM";
const char AndroidNicknameType[] = "vnd.android.cursor.item/nickname";
const char AndroidRelationType[] = "vnd.android.cursor.item/relation";
// Messaging properties of their own, and the service each names.
struct OwnMessagingProperty {
    std::string_view property;
    std::string_view service;
};
const OwnMessagingProperty MessagingProperties[] = {
    {"X-AIM", "AIM"},         {"X-MSN", "MSN"},     {"X-ICQ", "ICQ"},         {"X-JABBER", "Jabber"},
    {"X-SKYPE", "Skype"},     {"X-SKYPE-USERNAME", "Skype"}, {"X-YAHOO", "Yahoo"},
    {"X-GOOGLE-TALK", "GoogleTalk"}, {"X-GADUGADU", "GaduGadu"}, {"X-WECHAT", "WeChat"}, {"X-WEIXIN", "WeChat"},
};
// The longest UID kept; a longer one is no id to trust.
const size_t MaxUidBytes = 255;
const char WabGenderProperty[] = "X-WAB-GENDER";  // "1" female, "2" male
const char WabFemale[] = "1";
const char WabMale[] = "2";

// The written telephone lines, in the order they are written, and the
// written addresses and e-mail.
struct WrittenPhone {
    const char* property;
    ContactField field;
};
const WrittenPhone WrittenPhones[] = {
    {"TEL;WORK", WorkPhone}, {"TEL;HOME", HomePhone}, {"TEL;WORK;FAX", WorkFax},
    {"TEL;HOME;FAX", HomeFax}, {"TEL;CELL", Mobile},
};
const char WorkAddressProperty[] = "ADR;WORK";
const char HomeAddressProperty[] = "ADR;HOME";
const char WrittenEmailProperty[] = "EMAIL;PREF;INTERNET";

// The address components that are kept, in vCard order after the
// post-office box and the extended address, which are never stored.
const int AddressFieldCount = 5;
struct AddressFields {
    ContactField fields[AddressFieldCount];  // street, locality, region, postal code, country
};
const AddressFields HomeAddress = {{HomeStreet, HomeCity, HomeProvince, HomePostcode, HomeCountry}};
const AddressFields WorkAddress = {{WorkStreet, WorkCity, WorkProvince, WorkPostcode, WorkCountry}};

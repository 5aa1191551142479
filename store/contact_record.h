// One contact: 27 fixed-width fields in file order, then the run-time
// flags and the group.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum ContactField {
    Surname,
    GivenName,
    Gender,
    BirthYear,
    BirthMonth,
    BirthDay,
    QQNumber,
    Email,
    Mobile,
    Nickname,
    HomeCountry,
    HomeProvince,
    HomeCity,
    HomeStreet,
    HomePostcode,
    HomePhone,
    HomeFax,
    WorkCountry,
    WorkProvince,
    WorkCity,
    WorkStreet,
    WorkPostcode,
    WorkPhone,
    WorkFax,
    Company,
    Department,
    JobTitle,
    ContactFieldCount
};

struct ContactRecord {
    char Surname[10];
    char GivenName[10];
    int32_t Gender;  // 0 male; see IsShownFemale and IsExportedFemale
    char BirthYear[5];
    char BirthMonth[3];
    char BirthDay[4];
    char QQNumber[20];
    char Email[128];
    char Mobile[20];
    char Nickname[20];
    char HomeCountry[18];
    char HomeProvince[20];
    char HomeCity[20];
    char HomeStreet[50];
    char HomePostcode[18];
    char HomePhone[20];
    char HomeFax[30];
    char WorkCountry[18];
    char WorkProvince[20];
    char WorkCity[20];
    char WorkStreet[50];
    char WorkPostcode[18];
    char WorkPhone[20];
    char WorkFax[30];
    char Company[30];
    char Department[14];
    char JobTitle[14];
    int32_t CheckFlag;  // its check box is ticked; not stored
    int32_t ShownFlag;  // it has a row under the current filters; not stored
    int32_t GroupIndex; // position in the group list; not checked against it

    // A store's records come from blocks of places kept for records
    // (store/record_places.cpp); a removed record's place takes the next.
    static void* operator new(std::size_t size);
    static void operator delete(void* place, std::size_t size) noexcept;
};

// What belongs to one field, said once: the file, the CSV titles and the
// search texts walk this table.
struct ContactFieldInfo {
    ContactField field;
    int width;               // bytes in the record and the file, terminator included
    bool isText;             // false only for Gender, a 32-bit integer
    size_t recordOffset;     // where the member lies inside ContactRecord
    const char16_t* csvTitle;
};

const ContactFieldInfo& FieldInfo(ContactField field);
const ContactFieldInfo& FieldInfo(int field);

// Bytes of a file record: the 27 fields end to end, then GroupIndex.
const int RecordFileSize = 638;
const int GenderWidth = 4;
// The widest text field, Email.
const int WidestFieldWidth = sizeof(ContactRecord::Email);

// Gender 0 is male. The window and the editor take any other value as
// female; CSV and vCard files get female only for exactly 1, and what they
// bring in is always 0 or 1.
inline bool IsShownFemale(int32_t gender) { return gender != 0; }
inline bool IsExportedFemale(int32_t gender) { return gender == 1; }
inline int32_t StoredGender(bool female) { return female ? 1 : 0; }
inline const char16_t* GenderWord(bool female) { return female ? u"女" : u"男"; }

// The text member behind a text field (not Gender).
char* FieldText(ContactRecord& record, ContactField field);
const char* FieldText(const ContactRecord& record, ContactField field);

// A field's text, stopped at its width even when unterminated.
std::string FieldValue(const ContactRecord& record, ContactField field);

// Puts text into a text field, cut at a whole GBK character to fit. A field
// holds one line: each line break (LF, CR LF or CR) becomes a space; the
// text with its breaks is kept whole beside the field (SetWholeField).
void SetField(ContactRecord& record, ContactField field, const std::string& text);

// The contact's check box is ticked.
inline bool IsTicked(const ContactRecord& record) { return record.CheckFlag == 1; }

// A record with every byte zero: empty texts, male, group 0, unticked.
ContactRecord EmptyRecord();

// True when every text field has a terminator within its width.
bool FieldsTerminated(const ContactRecord& record);

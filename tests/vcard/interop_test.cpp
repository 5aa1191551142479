// The vCard files of other programs, as a user brings them: every one
// imports safely, and a selection gives what a careful user expects.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platform/platform.h"
#include "test_support.h"
#include "vcard/vcard_reader.h"

namespace {

const std::filesystem::path Interop = CORVELLE_INTEROP_DIR;

PathString InteropFile(const std::string& name) { return (Interop / name).native(); }

ContactStore Imported(const std::string& name) {
    Document book;
    VcardImportResult result = ReadVcardFile(InteropFile(name), book);
    EXPECT_EQ(1, result.filesRead) << name;
    return std::move(book.contacts);
}

// Expected fields of one contact, in UTF-8.
using Expected = std::map<ContactField, const char*>;

void ExpectContact(const ContactStore& store, int n, const Expected& expected, const std::string& name) {
    ASSERT_LT(n, RecordCount(store)) << name;
    for (const auto& [field, text] : expected) {
        EXPECT_EQ(Gbk(text), FieldValue(*RecordAt(store, n), field)) << name << ", contact " << n << ", field "
                                                                       << field;
    }
}

}  // namespace

TEST(InteropFiles, EveryFileImportsSafely) {
    SKIP_UNLESS_PRESENT(Interop);
    int files = 0;
    int contacts = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Interop)) {
        if (entry.path().extension() != ".vcf") continue;
        ++files;
        Document book;
        ContactStore& store = book.contacts;
        VcardImportResult result = ReadVcardFile(entry.path().native(), book);
        EXPECT_EQ(1, result.filesRead) << entry.path();
        contacts += RecordCount(store);
        for (int n = 0; n < RecordCount(store); ++n) EXPECT_TRUE(FieldsTerminated(*RecordAt(store, n)));
    }
    EXPECT_GT(files, 50);
    EXPECT_GT(contacts, 60);  // a few files hold no card with a name
}

TEST(InteropFiles, PhonesAndMailProgramsGiveEveryField) {
    SKIP_UNLESS_PRESENT(Interop);
    // iPhone (3.0): groups, lower-case types, escapes, folded photo.
    ExpectContact(Imported("client-exports/John_Doe_IPHONE.vcf"), 0,
                  {{Surname, "Doe"}, {GivenName, "John"}, {Nickname, "Johny"}, {Company, "IBM"},
                   {Department, "Accounting"}, {JobTitle, "Money Counter"}, {Email, "john.doe@ibm.com"},
                   {Mobile, "905-555-1234"}, {HomePhone, "905-666-1234"}, {WorkPhone, "905-777-1234"},
                   {HomeFax, "905-888-1234"}, {WorkFax, "905-999-1234"}, {HomeStreet, "Silicon Alley 5,"},
                   {HomeCity, "New York"}, {HomePostcode, "12345"}, {WorkStreet, "Street4 Building 6 Floor 8"},
                   {WorkCountry, "USA"}, {BirthYear, "2012"}, {BirthMonth, "06"}, {BirthDay, "06"}},
                  "iPhone");
    // Gmail (3.0): the address is all in its extended part.
    ExpectContact(Imported("client-exports/John_Doe_GMAIL.vcf"), 0,
                  {{Surname, "Doe"}, {GivenName, "John"}, {Mobile, "905-555-1234"}, {HomePhone, "905-666-1234"},
                   {HomeStreet, "Crescent moon drive 555-asd Nice Area, Albaney, N"}, {Company, "IBM"}},
                  "Gmail");
    // Outlook (2.1): 19800322 as the birthday.
    ExpectContact(Imported("client-exports/John_Doe_MS_OUTLOOK.vcf"), 0,
                  {{WorkPhone, "(905) 555-1234"}, {WorkStreet, "Cresent moon drive"}, {WorkCity, "Albaney"},
                   {BirthYear, "1980"}, {BirthMonth, "03"}, {BirthDay, "22"}, {Email, "john.doe@ibm.cm"}},
                  "Outlook");
    // RFC 6350 (4.0): tel: URIs, --0203, a name without a prefix.
    ExpectContact(Imported("client-exports/rfc6350-example.vcf"), 0,
                  {{Surname, "Perreault"}, {GivenName, "Simon"}, {WorkPhone, "+1-418-656-9254,102"},
                   {Mobile, "+1-418-262-6501"}, {WorkStreet, "2875 Laurier"}, {WorkCity, "Quebec"},
                   {BirthYear, ""}, {BirthMonth, "02"}, {BirthDay, "03"}},
                  "RFC 6350");
    // Every kind of phone and address: the first of each type, the first e-mail.
    ExpectContact(Imported("client-exports/fullcontact.vcf"), 0,
                  {{HomePhone, "555-555-1111"}, {WorkPhone, "555-555-1112"}, {Mobile, "555-555-1113"},
                   {HomeFax, "555-555-1116"}, {WorkFax, "555-555-1117"}, {Email, "home@example.com"}},
                  "fullcontact");
    // RFC 2426 (3.0): cards with only a formatted name.
    ContactStore rfc2426 = Imported("client-exports/rfc2426-example.vcf");
    ASSERT_EQ(2, RecordCount(rfc2426));
    ExpectContact(rfc2426, 1, {{Surname, "Howes"}, {GivenName, "Tim"}, {WorkFax, "+1-415-528-4164"}}, "RFC 2426");
}

TEST(InteropFiles, AndroidsQuotedPrintableAndCharsets) {
    SKIP_UNLESS_PRESENT(Interop);
    // Shift_JIS under quoted-printable, broken over three lines.
    ExpectContact(Imported("android-tests/v21_japanese_2.vcf"), 0,
                  {{Surname, "安藤"}, {GivenName, "ロイド1"}, {HomeStreet, "東京都渋谷区桜丘町26-1セルリアンタワー6階"},
                   {HomePostcode, "150-8512"}},
                  "Shift_JIS");
    ExpectContact(Imported("android-tests/v40_sort_as.vcf"), 0,
                  {{Surname, "安藤"}, {GivenName, "ロイド"}, {Company, "グーグル"}, {Department, "検索部門"}},
                  "4.0 with quoted parameters");
    ExpectContact(Imported("android-tests/v21_backslash.vcf"), 0, {{Surname, "A;B\\"}, {GivenName, ""}},
                  "escapes");
    // A 2.1 value that goes on after a backslash at the end of its line.
    ExpectContact(Imported("android-tests/v21_adr_multiple_line.vcf"), 0,
                  {{HomeStreet, "Grindelberg 999"}, {HomeCity, "Hamburg"}},
                  "backslash line");
    ContactStore nested = Imported("android-tests/v21_nest.vcf");
    ASSERT_EQ(3, RecordCount(nested));
    ExpectContact(nested, 2, {{Surname, "parent"}, {Mobile, "1"}}, "nested cards");
    ExpectContact(Imported("android-tests/v21_pref_handling.vcf"), 0,
                  {{HomePhone, "1"}, {WorkPhone, "2"}, {Mobile, "3"}, {Email, "test@example.com"}},
                  "the first preferred e-mail");
}

// Contacts with items, whole forms and a UID, written in each vCard form
// and read back: the same contact comes back, items included and in the
// order the book keeps them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/platform.h"
#include "test_support.h"
#include "vcard/vcard_reader.h"
#include "vcard/vcard_writer.h"

namespace {

std::string RandomValue(std::mt19937& random) {
    static const char* const pieces[] = {"a", "Zz", "\xD5\xC5", "\x88\x40", ";", ",", "\\", ":", "=", "x y", "=3D", "9", "\n"};
    std::string text = "v";
    for (int i = random() % 5; i > 0; --i) text += pieces[random() % 13];
    return text + "e";
}

std::string RandomLabel(std::mt19937& random, bool typed) {
    static const char16_t* const typedLabels[] = {u"", u"手机", u"住宅", u"工作", u"传真", u"工作传真", u"其他", u"微信", u"紧急联系人"};
    static const char16_t* const ownLabels[] = {u"", u"微信", u"紧急联系人", u"Büro"};
    return typed ? Utf16ToGbk(typedLabels[random() % 9]) : Utf16ToGbk(ownLabels[random() % 4]);
}

ContactItem RandomItem(std::mt19937& random, int serial) {
    ItemKind kind = static_cast<ItemKind>(random() % ItemKindCount);
    bool typed = kind == ItemKind::Phone || kind == ItemKind::Email || kind == ItemKind::Url || kind == ItemKind::Note;
    ContactItem item = MakeItem(kind, RandomLabel(random, typed), RandomValue(random));
    if (kind == ItemKind::Phone) item.parts[0] = "1390" + std::to_string(serial);
    if (kind == ItemKind::Address) {
        item.label = RandomLabel(random, false).empty() ? "" : Utf16ToGbk(u"住宅");
        for (std::string& part : item.parts) part = random() % 3 ? RandomValue(random) : "";
    }
    if (kind == ItemKind::Im) {
        static const char* const services[] = {"Skype", "WeChat", "QQ", "Matrix"};
        item.parts[ImService] = services[random() % 4];
    }
    return item;
}

// A record whose fields are all taken, so that every item stays an item.
ContactRecord FullRecord() {
    ContactRecord record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (FieldInfo(f).isText) SetField(record, FieldInfo(f).field, "f" + std::to_string(f));
    }
    for (ContactField date : {BirthYear, BirthMonth, BirthDay}) SetField(record, date, "");
    return record;
}

// Items as a contact of the book holds them: random kinds, a name's parts
// now and then (each at most once, as N and ORG carry one of each).
std::vector<ContactItem> RandomItems(std::mt19937& random) {
    std::vector<ContactItem> items;
    for (int i = random() % 7; i > 0; --i) items.push_back(RandomItem(random, i));
    for (const std::string& label : {MiddleNameLabel(), NamePrefixLabel(), NameSuffixLabel(), OrganisationUnitLabel()}) {
        if (random() % 4 == 0) items.insert(items.begin() + random() % (items.size() + 1), MakeItem(ItemKind::Custom, label, RandomValue(random)));
    }
    OrderItems(items);
    return items;
}

}  // namespace

TEST(VcardItems, EveryItemWholeFormAndUidComesBackInEachForm) {
    ScratchFolder folder;
    PathString path = folder.Path("contact.vcf");
    std::mt19937 random(27);
    for (VcardEncoding encoding : {Plain, Utf8Qp, UnicodeQp}) {
        for (int n = 0; n < 100; ++n) {
            ContactRecord record = FullRecord();
            ContactDetails details;
            details.id = "uid-" + std::to_string(n);
            details.idKept = true;
            details.items = RandomItems(random);
            if (random() % 2) SetWholeField(record, details, Surname, "Mustermann");
            if (random() % 2) SetWholeField(record, details, Company, std::string(20, 'c') + "\xD5\xC5" + std::string(20, 'd'));
            ASSERT_EQ(VcardWritten, WriteVcardFile(path, &record, encoding, nullptr, &details));
            Document book = NewDocument();
            ReadVcardFile(path, book);
            ASSERT_EQ(1, RecordCount(book.contacts));
            const ContactDetails& read = DetailsOf(book.contacts, RecordAt(book.contacts, 0));
            std::string where = "encoding " + std::to_string(encoding) + ", contact " + std::to_string(n) + "\n" +
                                ReadFileBytes(path);
            EXPECT_EQ(details.id, read.id) << where;
            EXPECT_EQ(details.wholes, read.wholes) << where;
            EXPECT_EQ(details.items, read.items) << where;
            if (HasFailure()) return;
        }
    }
}

TEST(VcardItems, TwoCardsWhoseItemsDifferAreTwoContactsAndTheSameCardIsOne) {
    ScratchFolder folder;
    PathString path = folder.Path("cards.vcf");
    WriteFileBytes(path, "BEGIN:VCARD\r\nN:Li;Lei\r\nNOTE:a\r\nURL:http://x\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nN:Li;Lei\r\nURL:http://x\r\nNOTE:a\r\nEND:VCARD\r\n"
                         "BEGIN:VCARD\r\nN:Li;Lei\r\nNOTE:b\r\nEND:VCARD\r\n");
    Document book = NewDocument();
    VcardImportResult result = ReadVcardFile(path, book);
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(1, result.duplicates);
}

// Contacts as the cards a synchronisation writes: vCard 3.0 in UTF-8 that
// an independent reader takes, and a fixed point once read back, so that
// a card that came back unchanged never looks like a change.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "random_fields.h"
#include "sync/contact_card.h"
#include "sync/vcard_merge.h"
#include "test_support.h"

namespace {

const char* const Troublemakers[] = {";", ",", "=", "\\", "\"", " ", ":", "=3D", "\\n", "END:VCARD", "\xD5\xC5", "\xA1\xA4"};

std::string RandomText(std::mt19937& random, size_t maxBytes) {
    std::string text = RandomFieldText(random, maxBytes);
    for (int i = RandomBelow(random, 3); i > 0; --i) {
        const char* piece = Troublemakers[RandomBelow(random, sizeof Troublemakers / sizeof Troublemakers[0])];
        text.insert(WholeCharacters(text, RandomBelow(random, static_cast<int>(text.size()) + 1)).size(), piece);
    }
    return WholeCharacters(text, maxBytes);
}

void RandomContact(std::mt19937& random, ContactRecord& record, ContactDetails& details) {
    record = EmptyRecord();
    for (int f = 0; f < ContactFieldCount; ++f) {
        const ContactFieldInfo& info = FieldInfo(f);
        if (info.isText && f != BirthYear && f != BirthMonth && f != BirthDay) {
            SetField(record, info.field, RandomText(random, info.width - 1));
        }
    }
    if (RandomBelow(random, 2)) {
        SetField(record, BirthYear, std::to_string(1900 + RandomBelow(random, 200)));
        SetField(record, BirthMonth, std::to_string(1 + RandomBelow(random, 12)));
        SetField(record, BirthDay, std::to_string(1 + RandomBelow(random, 28)));
    }
    record.Gender = RandomBelow(random, 2);
    record.GroupIndex = RandomBelow(random, 5);
    details = ContactDetails();
    details.id = NewContactId();
    details.idKept = true;
    static const ItemKind kinds[] = {ItemKind::Phone, ItemKind::Email, ItemKind::Url, ItemKind::Note, ItemKind::Custom};
    for (int i = RandomBelow(random, 4); i > 0; --i) {
        std::string label = RandomBelow(random, 2) ? "" : RandomText(random, 12);
        details.items.push_back(MakeItem(kinds[RandomBelow(random, 5)], label, RandomText(random, 40)));
    }
}

TEST(ContactCardTest, ACardReadBackIsWrittenTheSameWay) {
    std::mt19937 random(20261208);
    Document book = NewDocument();
    for (int i = 0; i < 300; ++i) {
        ContactRecord record;
        ContactDetails details;
        RandomContact(random, record, details);
        VcardCard first;
        std::string written = ContactCardText(record, details, book.groups);
        ASSERT_TRUE(ReadContactCard(written, first)) << written;
        EXPECT_EQ(details.id, first.details.id);
        ParsedCard parsed;
        ASSERT_TRUE(ParseCard(written, parsed));
        EXPECT_EQ("3.0", parsed.properties[0].value);
        EXPECT_TRUE(IsValidUtf8(written)) << written;

        // Once read, the contact is a fixed point of writing and reading.
        ImportGroups made;
        first.record.GroupIndex = GroupForCategory(book.groups, first.category, made);
        std::string again = ContactCardText(first.record, first.details, book.groups);
        VcardCard second;
        ASSERT_TRUE(ReadContactCard(again, second));
        second.record.GroupIndex = GroupForCategory(book.groups, second.category, made);
        EXPECT_EQ(again, ContactCardText(second.record, second.details, book.groups)) << written;
    }
}

#ifndef _WIN32  // the reader is Linux's Python
TEST(ContactCardTest, PythonsVobjectReadsTheCardAsWritten) {
    SKIP_UNLESS_PRESENT("/usr/lib/python3/dist-packages/vobject");
    ScratchFolder folder;
    Document book = NewDocument();
    ContactRecord record = Record({{Surname, Gbk("欧阳")}, {GivenName, Gbk("修")}, {Mobile, "13800000001"},
                                   {Company, Gbk("长江;公司, 有限")}, {Email, "a@example.com"}});
    ContactDetails details;
    details.id = "fixed-id";
    details.items.push_back(MakeItem(ItemKind::Note, "", Gbk("第一行，第二行")));
    WriteFileBytes(folder.Path("card.vcf"), ContactCardText(record, details, book.groups));
    std::string script = folder.Root().string() + "/read.py";
    WriteFileBytes(folder.Path("read.py"),
                   "import vobject, sys\n"
                   "card = vobject.readOne(open(sys.argv[1], encoding='utf-8').read())\n"
                   "print(card.version.value, card.uid.value, card.fn.value, card.n.value.family, card.n.value.given,\n"
                   "      card.org.value, card.tel.value, card.note.value, sep='|')\n");
    std::string out = folder.Root().string() + "/out.txt";
    ASSERT_EQ(0, std::system(("/usr/bin/python3 " + script + " " + folder.Root().string() + "/card.vcf > " + out).c_str()));
    EXPECT_EQ("3.0|fixed-id|欧阳修|欧阳|修|['长江;公司, 有限']|13800000001|第一行，第二行\n", ReadFileBytes(folder.Path("out.txt")));
}
#endif

}  // namespace

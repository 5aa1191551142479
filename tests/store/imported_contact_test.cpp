#include <gtest/gtest.h>

#include <random>
#include <string>

#include "random_fields.h"
#include "store/fixed_text.h"
#include "store/imported_contact.h"
#include "test_support.h"

namespace {

// The name an import gives a record, as "surname|given name".
std::string NameOf(ContactRecord record, const std::string& displayName = std::string()) {
    if (!NameImportedContact(record, displayName)) return "(left out)";
    return FieldValue(record, Surname) + "|" + FieldValue(record, GivenName);
}

}  // namespace

TEST(ImportedContact, AGivenNameOrDisplayNameAloneIsSplitAsPhonesSplitIt) {
    EXPECT_EQ(Gbk("唐|磊"), NameOf(Record({{GivenName, Gbk("唐磊")}})));
    EXPECT_EQ(Gbk("欧阳|娜娜"), NameOf(Record({{GivenName, Gbk("欧阳娜娜")}})));
    EXPECT_EQ(Gbk("长|沙黑车肖"), NameOf(EmptyRecord(), Gbk("长沙黑车肖")));
    EXPECT_EQ("Doe|John", NameOf(EmptyRecord(), " John  Doe "));
    EXPECT_EQ("Alexander|", NameOf(EmptyRecord(), "Alexander"));
    EXPECT_EQ(Gbk("Ли|Ян"), NameOf(EmptyRecord(), Gbk("Ян Ли")));
    // A name with a Chinese character (or kana) is split after its surname
    // whatever spaces it holds; they stay in the given name.
    EXPECT_EQ(Gbk("老|王 装修"), NameOf(Record({{GivenName, Gbk("老王 装修")}})));
    EXPECT_EQ(Gbk("王|小明"), NameOf(Record({{GivenName, Gbk("王 小明")}})));
    EXPECT_EQ(Gbk("山|田 太郎"), NameOf(EmptyRecord(), Gbk("山田 太郎")));
    EXPECT_EQ(Gbk("欧阳|修 文"), NameOf(EmptyRecord(), Gbk("欧阳 修 文")));
    EXPECT_EQ(Gbk("や|ま たろう"), NameOf(EmptyRecord(), Gbk("やま たろう")));
    // The given name wins over the display name; a surname is never touched.
    EXPECT_EQ(Gbk("唐|磊"), NameOf(Record({{GivenName, Gbk("唐磊")}}), Gbk("别人")));
    EXPECT_EQ(Gbk("张|"), NameOf(Record({{Surname, Gbk("张")}})));
}

TEST(ImportedContact, ATextTooLongToSplitRunsFromTheSurnameIntoTheGivenName) {
    EXPECT_EQ(Gbk("中国南方|航空客服"), NameOf(EmptyRecord(), Gbk("中国南方航空客服")));
    EXPECT_EQ("Supercali|fragilist", NameOf(EmptyRecord(), "Supercalifragilistic"));
    // The display name that is the company's stays whole, not split as a person's.
    EXPECT_EQ("China Sou|thern Air",
              NameOf(Record({{Company, "China Southern Air"}}), "China Southern Air"));
}

TEST(ImportedContact, AChineseTextLosesNothingThatSurnameAndGivenNameCanHold) {
    std::mt19937 random(17);
    const std::u16string pool = u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗";
    for (int length = 1; length <= 12; ++length) {
        for (int trial = 0; trial < 20; ++trial) {
            std::u16string text;
            for (int i = 0; i < length; ++i) text += pool[RandomBelow(random, static_cast<int>(pool.size()))];
            std::string gbk = GbkText(text.c_str());
            ContactRecord record = EmptyRecord();
            ASSERT_TRUE(NameImportedContact(record, gbk));
            std::string shown = FieldValue(record, Surname) + FieldValue(record, GivenName);
            // Nine bytes a field: four characters each at most.
            EXPECT_EQ(gbk.substr(0, 16), shown) << length;
        }
    }
}

TEST(ImportedContact, ACardWithoutANameIsNamedByItsFirstOtherText) {
    EXPECT_EQ(Gbk("顺丰速运|"), NameOf(Record({{Company, Gbk("顺丰速运")}, {Mobile, "95338"}})));
    EXPECT_EQ(Gbk("阿明|"), NameOf(Record({{Nickname, Gbk("阿明")}, {Email, "a@b.cn"}})));
    EXPECT_EQ("zhang.san|@example.", NameOf(Record({{Email, "zhang.san@example.com"}, {Mobile, "1"}})));
    EXPECT_EQ("138000000|00", NameOf(Record({{Mobile, "13800000000"}, {HomePhone, "2"}})));
    EXPECT_EQ("2|", NameOf(Record({{HomePhone, "2"}, {WorkPhone, "3"}})));
    EXPECT_EQ("3|", NameOf(Record({{WorkPhone, " 3 "}})));
    EXPECT_EQ("(left out)", NameOf(Record({{QQNumber, "10001"}, {HomeStreet, "x"}}), "  "));

    // The naming text also stays in its own field.
    ContactRecord courier = Record({{Company, Gbk("顺丰速运")}});
    ASSERT_TRUE(NameImportedContact(courier, ""));
    EXPECT_EQ(Gbk("顺丰速运"), FieldValue(courier, Company));
}

TEST(ImportedContact, TheSameContactIsEveryFieldAndTheGroupButNotTheFlags) {
    ContactStore store;
    ContactRecord filled = FilledRecord();
    filled.GroupIndex = 2;
    AppendRecord(store, Person("a"));
    AppendRecord(store, filled);
    ContactRecord copy = filled;
    copy.CheckFlag = 1;
    copy.ShownFlag = 1;
    EXPECT_TRUE(HoldsSameContact(store, copy));
    for (int field = 0; field < ContactFieldCount; ++field) {
        ContactRecord changed = filled;
        if (FieldInfo(field).isText) {
            SetField(changed, static_cast<ContactField>(field), "x");
        } else {
            changed.Gender = 0;
        }
        EXPECT_FALSE(HoldsSameContact(store, changed)) << field;
    }
    ContactRecord moved = filled;
    moved.GroupIndex = 0;
    EXPECT_FALSE(HoldsSameContact(store, moved));
    EXPECT_TRUE(HoldsSameContact(store, moved, false));  // a source that names no group
    SetField(moved, BirthMonth, "03");
    EXPECT_TRUE(HoldsSameContact(store, moved, false));  // the month 3 written with two digits
    EXPECT_FALSE(HoldsSameContact(ContactStore(), filled));
}

TEST(ImportedContact, ACategoryFindsItsGroupOrMakesOneUpToTheLimit) {
    Document document = NewDocument();
    ImportGroups made;
    EXPECT_EQ(1, GroupForCategory(document.groups, Gbk("家人"), made));
    EXPECT_EQ(0, GroupForCategory(document.groups, "", made));
    EXPECT_EQ(5, GroupForCategory(document.groups, Gbk("篮球队"), made));
    EXPECT_EQ(5, GroupForCategory(document.groups, Gbk(" 篮球队 "), made));
    // Cut at 15 bytes, at a whole character, and found again by the long name.
    std::string longName = "a" + Gbk("一二三四五六七八");
    EXPECT_EQ(6, GroupForCategory(document.groups, longName, made));
    EXPECT_EQ("a" + Gbk("一二三四五六七"), GroupName(document.groups, 6));
    EXPECT_EQ(6, GroupForCategory(document.groups, longName, made));
    EXPECT_EQ(2, made.created);
    for (int i = made.created; i < MaxGroupsPerImport; ++i) {
        EXPECT_EQ(GroupCount(document.groups), GroupForCategory(document.groups, "g" + std::to_string(i), made) + 1);
    }
    EXPECT_EQ(0, GroupForCategory(document.groups, "one too many", made));
    EXPECT_EQ(5 + MaxGroupsPerImport, GroupCount(document.groups));
    EXPECT_EQ(7, GroupForCategory(document.groups, "g2", made));  // existing groups are still found
}

TEST(ImportedContact, AFourByteCharacterIsSplitAsOneCharacter) {
    std::string surname, givenName;
    SplitPersonName(Gbk("𬎆张三"), surname, givenName);
    EXPECT_EQ(Gbk("𬎆"), surname);
    EXPECT_EQ(Gbk("张三"), givenName);
    SplitPersonName(Gbk("刘𬎆"), surname, givenName);
    EXPECT_EQ(Gbk("刘"), surname);
    EXPECT_EQ(Gbk("𬎆"), givenName);
    SplitPersonName(Gbk("欧阳𬎆"), surname, givenName);  // a compound surname still wins
    EXPECT_EQ(Gbk("欧阳"), surname);
}

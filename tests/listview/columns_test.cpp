#include <gtest/gtest.h>

#include "listview/columns.h"
#include "store/fixed_text.h"
#include "test_support.h"

namespace {

// A letter of its own for each field, short enough for the narrowest.
char Marker(int field) { return static_cast<char>('A' + field); }

std::string Column(const ContactRecord& record, ColumnFlag flag) { return ColumnText(record, flag); }

}  // namespace

TEST(Columns, TheTableFollowsTheFlagOrderWithItsHeadersAndWidths) {
    const char* headers[ColumnFlagCount] = {"性别",     "昵称",     "生日",     "手机号",   "QQ号",     "邮箱",
                                            "家庭住址", "工作地址", "家庭电话", "公司电话", "公司",     "部门",
                                            "职务",     "工作邮编", "工作传真", "家庭邮编", "家庭传真"};
    const int widths[ColumnFlagCount] = {40, 80, 130, 130, 130, 150, 200, 200, 100, 100, 150, 100, 100, 80, 100, 80, 100};
    for (int flag = 0; flag < ColumnFlagCount; ++flag) {
        EXPECT_EQ(flag, ColumnInfoOf(flag).flag);
        EXPECT_EQ(Gbk(headers[flag]), GbkText(ColumnInfoOf(flag).header)) << flag;
        EXPECT_EQ(widths[flag], ColumnInfoOf(flag).width) << flag;
    }
    EXPECT_EQ(Gbk("姓名"), GbkText(NameColumnHeader));
    EXPECT_EQ(80, NameColumnWidth);
}

TEST(Columns, TogetherTheTextsCoverEveryTextField) {
    ContactRecord record = EmptyRecord();
    for (int field = 0; field < ContactFieldCount; ++field) {
        if (FieldInfo(field).isText) SetField(record, FieldInfo(field).field, std::string(1, Marker(field)));
    }
    std::string all = NameText(record);
    for (int flag = 0; flag < ColumnFlagCount; ++flag) all += ColumnText(record, flag);
    for (int field = 0; field < ContactFieldCount; ++field) {
        if (!FieldInfo(field).isText) continue;
        EXPECT_NE(std::string::npos, all.find(Marker(field))) << "field " << field;
    }
}

TEST(Columns, TheNameRunsSurnameAndGivenNameTogether) {
    EXPECT_EQ(Gbk("张三丰"), NameText(Person(Gbk("张"), Gbk("三丰"))));
    EXPECT_EQ("", NameText(EmptyRecord()));
}

TEST(Columns, GenderZeroIsMaleAndEveryOtherValueFemale) {
    ContactRecord record = EmptyRecord();
    EXPECT_EQ(Gbk("男"), Column(record, GenderColumn));
    for (int32_t gender : {1, 2, -1}) {
        record.Gender = gender;
        EXPECT_EQ(Gbk("女"), Column(record, GenderColumn)) << gender;
    }
}

TEST(Columns, TheBirthdayShowsTheStoredTextsWithTheirUnits) {
    ContactRecord record = EmptyRecord();
    EXPECT_EQ(Gbk("年月日"), Column(record, BirthdayColumn));
    SetField(record, BirthYear, "1985");
    SetField(record, BirthMonth, "03");
    SetField(record, BirthDay, "7");
    EXPECT_EQ(Gbk("1985年03月7日"), Column(record, BirthdayColumn));
    // A part that is missing takes its unit with it.
    EXPECT_EQ(Gbk("4月22日"), Column(Record({{BirthMonth, "4"}, {BirthDay, "22"}}), BirthdayColumn));
    EXPECT_EQ(Gbk("1990年5月"), Column(Record({{BirthYear, "1990"}, {BirthMonth, "5"}}), BirthdayColumn));
    EXPECT_EQ(Gbk("1990年"), Column(Record({{BirthYear, "1990"}}), BirthdayColumn));
}

TEST(Columns, AddressesRunTheirFourPartsTogether) {
    ContactRecord record = Record({{HomeCountry, Gbk("中国")},
                                   {HomeProvince, Gbk("浙江")},
                                   {HomeCity, Gbk("杭州")},
                                   {HomeStreet, Gbk("西湖路1号")},
                                   {HomePostcode, "310000"},
                                   {WorkCity, "Shanghai"},
                                   {WorkStreet, "Road 2"}});
    EXPECT_EQ(Gbk("中国浙江杭州西湖路1号"), Column(record, HomeAddressColumn));
    EXPECT_EQ("ShanghaiRoad 2", Column(record, WorkAddressColumn));
    EXPECT_EQ("310000", Column(record, HomePostcodeColumn));
}

TEST(Columns, AFullWidthFieldStaysWithinTheField) {
    ContactRecord record = EmptyRecord();
    std::fill(record.Mobile, record.Mobile + sizeof record.Mobile, '7');  // no terminator
    record.Nickname[0] = 'x';
    EXPECT_EQ(std::string(20, '7'), Column(record, MobileColumn));
}

TEST(Columns, OnlyAFlagOfExactlyOneCountsAsShown) {
    int32_t flags[ColumnFlagCount] = {};
    flags[GenderColumn] = 2;
    flags[MobileColumn] = 1;
    flags[EmailColumn] = -1;
    flags[HomeFaxColumn] = 1;
    EXPECT_FALSE(IsColumnShown(flags, GenderColumn));
    EXPECT_TRUE(IsColumnShown(flags, MobileColumn));
    EXPECT_EQ(MobileColumn, NthShownColumn(flags, 0));
    EXPECT_EQ(HomeFaxColumn, NthShownColumn(flags, 1));
    EXPECT_EQ(-1, NthShownColumn(flags, 2));
    EXPECT_EQ(-1, NthShownColumn(flags, -1));
}

TEST(ColumnText, AFieldHeldCutShowsItsWholeForm) {
    ContactRecord record = EmptyRecord();
    ContactDetails details;
    SetWholeField(record, details, Surname, "Mustermann");
    SetField(record, GivenName, "Erika");
    EXPECT_EQ("MustermanErika", NameText(record));
    EXPECT_EQ("MustermannErika", NameText(record, &details));
}

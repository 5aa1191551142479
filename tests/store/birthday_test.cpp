#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/birthday.h"
#include "test_support.h"

namespace {

ContactRecord BornOn(const char* year, const char* month, const char* day) {
    return Record({{Surname, "x"}, {BirthYear, year}, {BirthMonth, month}, {BirthDay, day}});
}

void ExpectDate(int year, int month, int day, const BirthdayDate& date) {
    EXPECT_EQ(year, date.year);
    EXPECT_EQ(month, date.month);
    EXPECT_EQ(day, date.day);
}

}  // namespace

TEST(Birthday, FieldsReadAsLeadingNumbers) {
    ExpectDate(1980, 5, 6, StoredBirthday(BornOn("1980", "05", "6")));
    ExpectDate(198, 5, 6, StoredBirthday(BornOn(" 198", "+5", "6x")));
    ExpectDate(-12, 0, 0, StoredBirthday(BornOn("-12", "", "ab")));
    ExpectDate(0, 0, 0, StoredBirthday(EmptyRecord()));
    ExpectDate(0, 0, 0, StoredBirthday(BornOn("x1", "- 3", "\t4")));
}

// Imported or damaged books may hold anything, even fields without a
// terminator: the reading stops at the field's end and never overflows.
TEST(Birthday, UnterminatedAndHugeFieldsAreReadSafely) {
    ContactRecord record = EmptyRecord();
    std::memset(record.BirthYear, '9', sizeof record.BirthYear);
    std::memset(record.BirthMonth, '9', sizeof record.BirthMonth);
    std::memset(record.BirthDay, '9', sizeof record.BirthDay);
    BirthdayDate date = StoredBirthday(record);
    EXPECT_EQ(99999, date.year);
    EXPECT_EQ(999, date.month);
    EXPECT_EQ(9999, date.day);
    EXPECT_FALSE(IsValidDate(date));
    const char digits[] = "99999999999999999999";
    EXPECT_GT(LeadingNumber(digits, 20), 0);
}

TEST(Birthday, ValidDatesFollowTheGregorianCalendar) {
    EXPECT_TRUE(IsValidDate({2000, 2, 29}));
    EXPECT_TRUE(IsValidDate({1996, 2, 29}));
    EXPECT_FALSE(IsValidDate({1900, 2, 29}));
    EXPECT_FALSE(IsValidDate({2023, 2, 29}));
    EXPECT_TRUE(IsValidDate({1800, 12, 31}));
    EXPECT_FALSE(IsValidDate({1985, 13, 1}));
    EXPECT_FALSE(IsValidDate({1985, 4, 31}));
    EXPECT_FALSE(IsValidDate({1985, 0, 1}));
    EXPECT_FALSE(IsValidDate({1985, 1, 0}));
    EXPECT_FALSE(IsValidDate({0, 1, 1}));
    EXPECT_FALSE(IsValidDate({1985, 0, 0}));
    EXPECT_FALSE(IsValidDate({0, 0, 0}));
}

TEST(Birthday, DatesOutsideThePickersRangeMeetItsNearerEnd) {
    ExpectDate(1900, 1, 1, ClampToPickerRange({1899, 12, 31}));
    ExpectDate(1900, 1, 1, ClampToPickerRange({1, 6, 15}));
    ExpectDate(1900, 1, 1, ClampToPickerRange({1900, 1, 1}));
    ExpectDate(1980, 5, 6, ClampToPickerRange({1980, 5, 6}));
    ExpectDate(2100, 12, 31, ClampToPickerRange({2100, 12, 31}));
    ExpectDate(2100, 12, 31, ClampToPickerRange({2101, 1, 1}));
}

TEST(Birthday, IsWrittenWithoutLeadingZeros) {
    ContactRecord record = BornOn("01980", "05", "006");
    EXPECT_TRUE(HasBirthday(record));
    SetBirthday(record, {1980, 5, 6});
    EXPECT_EQ("1980", FieldValue(record, BirthYear));
    EXPECT_EQ("5", FieldValue(record, BirthMonth));
    EXPECT_EQ("6", FieldValue(record, BirthDay));
    EXPECT_FALSE(HasBirthday(EmptyRecord()));
    EXPECT_TRUE(HasBirthday(BornOn("", "", "1")));
}

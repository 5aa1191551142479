#include "store/birthday.h"

#include <string>

namespace {

// Past this a number is no date anyway; stopping here keeps the reading
// of a long run of digits from overflowing.
const int NumberCeiling = 1000000;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool Before(const BirthdayDate& a, const BirthdayDate& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

}  // namespace

int LeadingNumber(const char* text, int width) {
    int i = 0;
    while (i < width && text[i] == ' ') ++i;
    bool negative = false;
    if (i < width && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int number = 0;
    for (; i < width && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (number < NumberCeiling) number = number * 10 + (text[i] - '0');
    }
    return negative ? -number : number;
}

BirthdayDate StoredBirthday(const ContactRecord& record) {
    auto number = [&record](ContactField field) { return LeadingNumber(FieldText(record, field), FieldInfo(field).width); };
    return {number(BirthYear), number(BirthMonth), number(BirthDay)};
}

bool HasBirthday(const ContactRecord& record) {
    return record.BirthYear[0] != '\0' || record.BirthMonth[0] != '\0' || record.BirthDay[0] != '\0';
}

bool IsValidDate(const BirthdayDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

bool SameDate(const BirthdayDate& a, const BirthdayDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

BirthdayDate ClampToPickerRange(const BirthdayDate& date) {
    if (Before(date, EarliestBirthday)) return EarliestBirthday;
    if (Before(LatestBirthday, date)) return LatestBirthday;
    return date;
}

void SetBirthday(ContactRecord& record, const BirthdayDate& date) {
    SetField(record, BirthYear, std::to_string(date.year));
    SetField(record, BirthMonth, std::to_string(date.month));
    SetField(record, BirthDay, std::to_string(date.day));
}

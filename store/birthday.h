// A contact's birthday as a date: the three text fields BirthYear,
// BirthMonth and BirthDay read as numbers, and written back as "%d".
#pragma once

#include "store/contact_record.h"

struct BirthdayDate {
    int year;
    int month;
    int day;
};

// The dates the editor's date picker can show.
const BirthdayDate EarliestBirthday = {1900, 1, 1};
const BirthdayDate LatestBirthday = {2100, 12, 31};

// A field's number: leading blanks skipped, an optional sign, then the
// decimal digits up to the first other character. No digits give 0.
int LeadingNumber(const char* text, int width);

// The three fields as numbers; an empty field gives 0.
BirthdayDate StoredBirthday(const ContactRecord& record);

// True when any of the three birthday fields holds text.
bool HasBirthday(const ContactRecord& record);

// A real day of the Gregorian calendar in a year from 1 to 9999.
bool IsValidDate(const BirthdayDate& date);

bool SameDate(const BirthdayDate& a, const BirthdayDate& b);

// The date itself when it lies between EarliestBirthday and LatestBirthday,
// otherwise the nearer of the two.
BirthdayDate ClampToPickerRange(const BirthdayDate& date);

// Writes the date into the three fields as decimal text without leading zeros.
void SetBirthday(ContactRecord& record, const BirthdayDate& date);

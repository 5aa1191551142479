// Birthdays written in one cell, in the forms other programs and people
// write them: "1988-07-15", "1966/3/9", "1985.03.07", "1985年3月7日",
// "19850307", Google's "--04-22" without a year, English Outlook's
// "5/17/1990".
#pragma once

#include <string>

#include "store/birthday.h"

enum class CsvDateReading {
    Date,    // a real date; year 0 when the cell gives none, month and day 0 for a year alone
    NoDate,  // a date of zeros, as Outlook writes an empty one ("0/0/00")
    NotADate,
};

// Reads a GBK cell. `monthFirst`: a date that ends with its year is
// month/day/year; otherwise such a date is not read.
CsvDateReading ReadCsvDate(const std::string& cell, bool monthFirst, BirthdayDate& date);

// Writes what ReadCsvDate gave into the birthday fields: all three, the
// year empty when there is none; for a year alone only the year.
void SetCsvBirthday(ContactRecord& record, const BirthdayDate& date);

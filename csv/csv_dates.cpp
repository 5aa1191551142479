#include "csv/csv_dates.h"

#include <vector>

#include "store/fixed_text.h"
#include "store/text_operations.h"

namespace {

struct DatePiece {
    std::string before;  // the text between the previous number and this one
    int value;
    size_t digits;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The numbers of a text and the separators between them; `after` takes
// what follows the last number.
std::vector<DatePiece> Pieces(const std::string& text, std::string& after) {
    std::vector<DatePiece> pieces;
    std::string between;
    size_t i = 0;
    while (i < text.size()) {
        if (!IsDigit(text[i])) {
            between += text[i++];
            continue;
        }
        DatePiece piece = {between, 0, 0};
        while (i < text.size() && IsDigit(text[i])) {
            if (piece.digits < 9) piece.value = piece.value * 10 + (text[i] - '0');
            ++piece.digits;
            ++i;
        }
        pieces.push_back(piece);
        between.clear();
    }
    after = between;
    return pieces;
}

bool IsPlainSeparator(const std::string& s) { return s == "-" || s == "/" || s == "."; }

// Month and day, with or without a year (0).
CsvDateReading Checked(int year, int month, int day, BirthdayDate& date) {
    if (year == 0 && month == 0 && day == 0) return CsvDateReading::NoDate;
    // A date without a year may be the 29th of February.
    const int leapYear = 2000;
    if (!IsValidDate(BirthdayDate{year == 0 ? leapYear : year, month, day})) return CsvDateReading::NotADate;
    date = BirthdayDate{year, month, day};
    return CsvDateReading::Date;
}

}  // namespace

CsvDateReading ReadCsvDate(const std::string& cell, bool monthFirst, BirthdayDate& date) {
    static const std::string yearMark = GbkText(u"年");
    static const std::string monthMark = GbkText(u"月");
    static const std::string dayMark = GbkText(u"日");
    std::string after;
    std::vector<DatePiece> p = Pieces(TrimSpacesAndTabs(cell), after);
    const size_t yearDigits = 4;

    if (p.size() == 1 && p[0].before.empty() && after.empty()) {
        if (p[0].digits == 8) {
            int v = p[0].value;
            return Checked(v / 10000, v / 100 % 100, v % 100, date);
        }
        if (p[0].digits == yearDigits && p[0].value > 0) {
            date = BirthdayDate{p[0].value, 0, 0};
            return CsvDateReading::Date;
        }
        return CsvDateReading::NotADate;
    }
    if (p.size() == 2 && after.empty() && p[0].before == "--" && p[1].before == "-") {
        return Checked(0, p[0].value, p[1].value, date);  // Google's date without a year
    }
    if (p.size() == 2 && p[0].before.empty() && p[1].before == monthMark && after == dayMark) {
        return Checked(0, p[0].value, p[1].value, date);
    }
    if (p.size() != 3 || !p[0].before.empty()) return CsvDateReading::NotADate;
    bool plain = IsPlainSeparator(p[1].before) && p[2].before == p[1].before && after.empty();
    bool chinese = p[1].before == yearMark && p[2].before == monthMark && (after.empty() || after == dayMark);
    if (!plain && !chinese) return CsvDateReading::NotADate;
    bool zeros = p[0].value == 0 && p[1].value == 0 && p[2].value == 0;
    if (zeros) return CsvDateReading::NoDate;
    if (p[0].digits == yearDigits) return Checked(p[0].value, p[1].value, p[2].value, date);
    if (plain && monthFirst && p[2].digits == yearDigits) return Checked(p[2].value, p[0].value, p[1].value, date);
    return CsvDateReading::NotADate;
}

void SetCsvBirthday(ContactRecord& record, const BirthdayDate& date) {
    SetField(record, BirthYear, date.year > 0 ? std::to_string(date.year) : std::string());
    if (date.month == 0) return;
    SetField(record, BirthMonth, std::to_string(date.month));
    SetField(record, BirthDay, std::to_string(date.day));
}

// txltool edit and delete: one contact of a book changed or removed, as
// the contact editor and "删除" would, so that scripts (and the
// synchronisation's tests) can change a book.
#include <cstdlib>
#include <map>

#include "store/address_book_file.h"
#include "store/birthday.h"
#include "store/fixed_text.h"
#include "tools/txltool/txltool.h"

namespace {

int EditUsage(const std::string& problem) {
    PrintError(problem);
    PrintBytes(stderr, std::string("usage: ") + EditUsageText + "\n");
    return ExitUsage;
}

bool IsBirthdayField(int field) { return field == BirthYear || field == BirthMonth || field == BirthDay; }

// A whole number of at most `digits` decimal digits; -1 otherwise.
long long NumberOf(const std::string& text, size_t digits) {
    if (text.empty() || text.size() > digits || text.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::atoll(text.c_str());
}

bool LoadExisting(const PathString& path, Document& document) {
    LoadResult result = ReadAddressBook(path, document.groups, document.contacts);
    if (result == LoadOk) return true;
    PrintError(PathToUtf8(path) + ": not a readable address book (result " + std::to_string(result) + ")");
    return false;
}

// The contact numbered from 1, as dump lists them; null after a message.
ContactRecord* NumberedContact(const Document& document, const PathString& book, const std::string& number) {
    long long n = NumberOf(number, 9);
    if (n < 1 || n > RecordCount(document.contacts)) {
        PrintError(PathToUtf8(book) + ": has no contact " + number + " (it holds " +
                   std::to_string(RecordCount(document.contacts)) + ")");
        return nullptr;
    }
    return RecordAt(document.contacts, static_cast<int>(n - 1));
}

// The three birthday fields as the date picker writes them: a whole date
// it can show, or nothing. Parts not given keep their stored text.
bool ApplyBirthday(ContactRecord& record, const std::map<int, std::string>& given) {
    std::string parts[3];
    for (int f : {BirthYear, BirthMonth, BirthDay}) {
        auto value = given.find(f);
        parts[f - BirthYear] = value != given.end() ? value->second : FieldValue(record, static_cast<ContactField>(f));
    }
    if (parts[0].empty() && parts[1].empty() && parts[2].empty()) {
        for (ContactField field : {BirthYear, BirthMonth, BirthDay}) SetField(record, field, "");
        return true;
    }
    BirthdayDate date = {static_cast<int>(NumberOf(parts[0], 4)), static_cast<int>(NumberOf(parts[1], 2)),
                         static_cast<int>(NumberOf(parts[2], 2))};
    if (!IsValidDate(date) || !SameDate(date, ClampToPickerRange(date))) return false;
    SetBirthday(record, date);
    return true;
}

}  // namespace

const char EditUsageText[] = "txltool edit BOOK N INDEX=VALUE...";
const char DeleteUsageText[] = "txltool delete BOOK N";

int CommandEdit(const Arguments& args) {
    if (args.size() < 3) return EditUsage("edit needs a book, a contact number and at least one INDEX=VALUE");
    // Each field's new text; a field given twice takes the last.
    std::map<int, std::string> values;
    for (size_t i = 2; i < args.size(); ++i) {
        size_t equals = args[i].find(PathChar('='));
        long long field = equals == PathString::npos ? -1 : NumberOf(ArgumentToUtf8(args[i].substr(0, equals)), 2);
        if (field < 0 || field >= ContactFieldCount) {
            return EditUsage(ArgumentToUtf8(args[i]) + ": not INDEX=VALUE with INDEX 0 to 26");
        }
        std::string text = ArgumentToGbk(args[i].substr(equals + 1));
        for (char c : text) {
            if (static_cast<unsigned char>(c) < 0x20) return EditUsage(ArgumentToUtf8(args[i]) + ": a field holds no control character");
        }
        values[static_cast<int>(field)] = text;
    }

    Document document;
    if (!LoadExisting(args[0], document)) return ExitFailed;
    ContactRecord* contact = NumberedContact(document, args[0], ArgumentToUtf8(args[1]));
    if (!contact) return ExitFailed;
    ContactRecord edited = *contact;
    ContactDetails details = DetailsOf(document.contacts, contact);  // a text too long for its field is kept whole
    std::map<int, std::string> birthday;
    for (const auto& value : values) {
        int field = value.first;
        std::string text = value.second;
        if (IsBirthdayField(field)) {
            birthday[field] = text;
        } else if (field == Gender) {
            if (text == "0" || text == GbkText(GenderWord(false))) {
                edited.Gender = StoredGender(false);
            } else if (text == "1" || text == GbkText(GenderWord(true))) {
                edited.Gender = StoredGender(true);
            } else {
                return EditUsage("the gender (2) is 0 or 1 (男 or 女)");
            }
        } else {
            // As the editor's boxes: what a box holds, cut at a whole
            // character; an emptied surname keeps the stored one.
            text.resize(FitGbkLength(text.data(), text.size(), TextBoxReadLimit));
            if (field == Surname && text.empty()) continue;
            SetWholeField(edited, details, static_cast<ContactField>(field), text);
        }
    }
    if (!birthday.empty() && !ApplyBirthday(edited, birthday)) {
        return EditUsage("the birthday is a whole date from 1900-01-01 to 2100-12-31, or empty in all three parts");
    }
    if (edited.Surname[0] == '\0' && edited.GivenName[0] == '\0') {
        // The editor would drop such a contact; a script says so and keeps it.
        PrintError("the contact would be left without a name: use txltool delete to remove it");
        return ExitFailed;
    }
    *contact = edited;
    DetailsOf(document.contacts, contact) = details;
    return SaveBook(args[0], document) ? ExitOk : ExitFailed;
}

int CommandDelete(const Arguments& args) {
    if (args.size() != 2) {
        PrintBytes(stderr, std::string("usage: ") + DeleteUsageText + "\n");
        return ExitUsage;
    }
    Document document;
    if (!LoadExisting(args[0], document)) return ExitFailed;
    ContactRecord* contact = NumberedContact(document, args[0], ArgumentToUtf8(args[1]));
    if (!contact) return ExitFailed;
    RemoveRecord(document.contacts, contact);
    return SaveBook(args[0], document) ? ExitOk : ExitFailed;
}

#include "csv/csv_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "csv/csv_dates.h"
#include "csv/csv_format.h"
#include "csv/csv_items.h"
#include "csv/csv_lines.h"
#include "store/fixed_text.h"
#include "store/imported_contact.h"
#include "store/text_operations.h"

namespace {

const int AddressPartCount = AddressFormatted + 1;

// The parts of one address as its columns give them, the street joined.
struct AddressCells {
    std::string label;
    std::string parts[AddressPartCount];
};

// A typed column pair: Google's "Phone n - Label" and "Phone n - Value".
struct TypedCells {
    std::string label;
    std::string value;
};

// A numbered item's columns: Google's "Website n - Label" and "- Value".
struct ItemCells {
    std::string label, service, value;
};

// What a line of a known layout gives before it becomes a contact.
struct CsvRow {
    ContactRecord record = EmptyRecord();
    std::string givenName;  // the given name's cell, whole
    std::string middleName;
    std::string displayName;
    std::string group;
    std::vector<std::string> sparePhones;
    std::vector<std::string> spareFaxes;
    std::map<int, TypedCells> phones;
    std::map<int, TypedCells> emails;
    std::map<int, AddressCells> typedAddresses;
    AddressCells home, work, other;
    std::map<std::pair<int, int>, ItemCells> numberedItems;  // (kind, n)
    ContactDetails details;  // items in column order; the numbered ones and what found no field at the end
};

// The fields of the home and the work address, in CsvAddressPart order.
const ContactField HomeBlock[] = {HomeStreet, HomeCity, HomeProvince, HomePostcode, HomeCountry};
const ContactField WorkBlock[] = {WorkStreet, WorkCity, WorkProvince, WorkPostcode, WorkCountry};
const int BlockParts = 5;

const char GoogleValueSeparator[] = ":::";

// The values of a cell, trimmed, empty ones left out. Google joins several
// values of one column with " ::: "; `otherSeparator`, when given, also
// separates them.
std::vector<std::string> Values(const std::string& cell, const char* otherSeparator) {
    std::vector<std::string> values;
    std::string rest = cell;
    for (;;) {
        size_t at = std::string::npos;
        size_t length = 0;
        for (const char* separator : {GoogleValueSeparator, otherSeparator}) {
            if (separator == nullptr || *separator == '\0') continue;
            size_t found = rest.find(separator);
            if (found < at) {
                at = found;
                length = std::char_traits<char>::length(separator);
            }
        }
        std::string value = TrimSpaces(rest.substr(0, at));
        if (!value.empty()) values.push_back(value);
        if (at == std::string::npos) return values;
        rest = rest.substr(at + length);
    }
}

void SetIfEmpty(ContactRecord& record, ContactField field, const std::string& text) {
    if (FieldText(record, field)[0] == '\0') SetField(record, field, text);
}

void AddAddressPart(AddressCells& address, int part, const std::string& text) {
    if (part < 0 || part >= AddressPartCount) return;
    std::string& kept = address.parts[part];
    if (part == AddressStreet && !kept.empty()) {
        // Streets in several columns ("Street 2", PO box) make one street.
        if (kept.size() < CsvCellBytes) kept += " " + text;
    } else if (kept.empty()) {
        kept = text;
    }
}

// Labels or categories: the first that is no system label. Outlook
// separates categories with ";", Google its labels with " ::: ".
std::string GroupOfCell(const std::string& cell) {
    for (const std::string& label : Values(cell, ";")) {
        if (!IsSystemLabel(label)) return label;
    }
    return std::string();
}

// A label as the user reads it: Google's "* " for the primary entry goes.
std::string ItemLabelText(const std::string& label) {
    return label.compare(0, 2, "* ") == 0 ? label.substr(2) : label;
}

// "Other", "Main" or none: a number that may take any free field.
bool NamesNoKind(const std::string& label) {
    std::string text = ItemLabelText(label);
    return text.empty() || SameNoCase(text, "Other") || SameNoCase(text, "Main");
}

void AddItemCell(CsvRow& row, int kind, const std::string& label, const std::string& value,
                 const std::string& service = std::string()) {
    if (kind < 0 || kind >= ItemKindCount || value.empty()) return;
    ContactItem item = MakeItem(static_cast<ItemKind>(kind), ItemLabelText(label), value);
    if (item.kind == ItemKind::Im) item.parts[ImService] = service;
    if (item.kind == ItemKind::Address) item.parts = SplitAddressCell(value);
    row.details.items.push_back(item);
}

void TakeCell(CsvRow& row, const CsvColumn& column, const std::string& cell, bool monthFirst) {
    BirthdayDate date = {};
    switch (column.role) {
    case CsvRole::Ignored:
    case CsvRole::OwnField: break;
    case CsvRole::Field:
        if (column.detail == GivenName && row.givenName.empty()) row.givenName = cell;
        if (FieldText(row.record, static_cast<ContactField>(column.detail))[0] == '\0') {
            SetWholeField(row.record, row.details, static_cast<ContactField>(column.detail), cell);
        }
        break;
    case CsvRole::MiddleName:
        if (row.middleName.empty()) row.middleName = cell;
        break;
    case CsvRole::DisplayName:
        if (row.displayName.empty()) row.displayName = cell;
        break;
    case CsvRole::Birthday:
        if (!HasBirthday(row.record) && ReadCsvDate(cell, monthFirst, date) == CsvDateReading::Date) {
            SetCsvBirthday(row.record, date);
        }
        break;
    case CsvRole::Gender: row.record.Gender = StoredGender(IsCsvFemale(cell)); break;
    case CsvRole::Group:
        if (row.group.empty()) row.group = GroupOfCell(cell);
        break;
    case CsvRole::SparePhone: row.sparePhones.push_back(cell); break;
    case CsvRole::SpareFax: row.spareFaxes.push_back(cell); break;
    case CsvRole::HomeAddress: AddAddressPart(row.home, column.detail, cell); break;
    case CsvRole::WorkAddress: AddAddressPart(row.work, column.detail, cell); break;
    case CsvRole::OtherAddress: AddAddressPart(row.other, column.detail, cell); break;
    case CsvRole::PhoneLabel: row.phones[column.number].label = cell; break;
    case CsvRole::PhoneValue: row.phones[column.number].value = cell; break;
    case CsvRole::EmailLabel: row.emails[column.number].label = cell; break;
    case CsvRole::EmailValue: row.emails[column.number].value = cell; break;
    case CsvRole::AddressLabel: row.typedAddresses[column.number].label = cell; break;
    case CsvRole::TypedAddress: AddAddressPart(row.typedAddresses[column.number], column.detail, cell); break;
    case CsvRole::ItemLabel: row.numberedItems[{column.detail, column.number}].label = cell; break;
    case CsvRole::ItemService: row.numberedItems[{column.detail, column.number}].service = cell; break;
    case CsvRole::ItemValue: row.numberedItems[{column.detail, column.number}].value = cell; break;
    case CsvRole::ItemText: AddItemCell(row, column.detail, std::string(), cell); break;
    }
}

// A number of a given type keeps its field; the others, and a number whose
// field is taken, wait for a free one.
void PlaceTypedPhones(CsvRow& row) {
    for (const auto& numbered : row.phones) {
        std::vector<std::string> numbers = Values(numbered.second.value, nullptr);
        int field = PhoneFieldForLabel(numbered.second.label);
        bool fax = field == HomeFax || field == WorkFax;
        for (const std::string& number : numbers) {
            if (field >= 0 && FieldText(row.record, static_cast<ContactField>(field))[0] == '\0') {
                SetField(row.record, static_cast<ContactField>(field), number);
            } else if (NamesNoKind(numbered.second.label)) {
                (fax ? row.spareFaxes : row.sparePhones).push_back(number);
            } else {
                // A number whose label names a field that is taken, or no
                // field: an item with its label, never under a wrong name.
                AddItemCell(row, static_cast<int>(ItemKind::Phone), numbered.second.label, number);
            }
        }
    }
}

// The first address, or the one whose label begins with "* " (primary).
void PlaceEmails(CsvRow& row) {
    std::string first, primary;
    for (const auto& numbered : row.emails) {
        std::vector<std::string> addresses = Values(numbered.second.value, nullptr);
        if (addresses.empty()) continue;
        if (first.empty()) first = addresses[0];
        if (primary.empty() && numbered.second.label.compare(0, 1, "*") == 0) primary = addresses[0];
    }
    SetIfEmpty(row.record, Email, primary.empty() ? first : primary);
    std::string kept = FieldValue(row.record, Email);
    for (const auto& numbered : row.emails) {
        for (const std::string& address : Values(numbered.second.value, nullptr)) {
            if (address != kept) AddItemCell(row, static_cast<int>(ItemKind::Email), numbered.second.label, address);
        }
    }
}

bool BlockEmpty(const ContactRecord& record, const ContactField* block) {
    for (int part = 0; part < BlockParts; ++part) {
        if (FieldText(record, block[part])[0] != '\0') return false;
    }
    return true;
}

// Into the preferred address when it is free, else into the other one
// when that is free; never over an address already placed.
// One that finds both taken is an item.
void PlaceAddress(CsvRow& row, const AddressCells& address, bool home) {
    ContactRecord& record = row.record;
    AddressCells cells = address;
    if (cells.parts[AddressStreet].empty() && cells.parts[AddressCity].empty() && cells.parts[AddressRegion].empty() &&
        cells.parts[AddressPostcode].empty() && cells.parts[AddressCountry].empty()) {
        // Only the whole address as one text: it goes where the street goes.
        if (cells.parts[AddressFormatted].empty()) return;
        cells.parts[AddressStreet] = cells.parts[AddressFormatted];
    }
    const ContactField* block = home ? HomeBlock : WorkBlock;
    if (!BlockEmpty(record, block)) block = home ? WorkBlock : HomeBlock;
    if (!BlockEmpty(record, block)) {
        ContactItem item = MakeItem(ItemKind::Address, ItemLabelText(address.label), "");
        const AddressPart parts[BlockParts] = {Street, Locality, Region, PostalCode, Country};
        for (int part = 0; part < BlockParts; ++part) item.parts[parts[part]] = cells.parts[part];
        row.details.items.push_back(item);
        return;
    }
    for (int part = 0; part < BlockParts; ++part) SetField(record, block[part], cells.parts[part]);
}

// Numbers without a type take the first free field; past them they are items.
void PlaceSpares(CsvRow& row, const std::vector<std::string>& numbers, const ContactField* fields, int fieldCount) {
    for (const std::string& number : numbers) {
        bool placed = false;
        for (int f = 0; f < fieldCount && !placed; ++f) {
            if (FieldText(row.record, fields[f])[0] == '\0') {
                SetField(row.record, fields[f], number);
                placed = true;
            }
        }
        if (!placed) AddItemCell(row, static_cast<int>(ItemKind::Phone), std::string(), number);
    }
}

void PlaceNumberedItems(CsvRow& row) {
    for (const auto& numbered : row.numberedItems) {
        const ItemCells& cells = numbered.second;
        for (const std::string& value : Values(cells.value, nullptr)) {
            AddItemCell(row, numbered.first.first, cells.label, value, cells.service);
        }
    }
}

// A Chinese name that a phone split into family, middle and given name is
// whole again: the middle part before the given part (刘, 巧, 玲 is 刘巧玲).
// Names in other scripts keep the given name alone.
void JoinMiddleName(CsvRow& row) {
    if (row.middleName.empty()) return;
    std::string family = FieldValue(row.record, Surname);
    if (!IsDoubleByteText(family.empty() ? row.middleName : family)) return;
    row.givenName = row.middleName + row.givenName;
    SetField(row.record, GivenName, row.givenName);
}

// A contact without a surname whose given name is longer than its field
// ("长沙黑车肖", a label people save) is named from the whole text.
void KeepLongGivenName(CsvRow& row) {
    if (row.record.Surname[0] != '\0' || row.givenName.size() < sizeof row.record.GivenName) return;
    row.displayName = row.givenName;
    SetField(row.record, GivenName, std::string());
}

void FinishRow(CsvRow& row) {
    static const ContactField phoneFields[] = {Mobile, HomePhone, WorkPhone};
    static const ContactField faxFields[] = {WorkFax, HomeFax};
    PlaceTypedPhones(row);
    PlaceEmails(row);
    PlaceAddress(row, row.home, true);
    PlaceAddress(row, row.work, false);
    for (const auto& numbered : row.typedAddresses) {
        PlaceAddress(row, numbered.second, IsHomeLabel(numbered.second.label));
    }
    PlaceAddress(row, row.other, false);
    PlaceSpares(row, row.sparePhones, phoneFields, 3);
    PlaceSpares(row, row.spareFaxes, faxFields, 2);
    JoinMiddleName(row);
}

// A data line's cells, each taken by its column, left to right.
CsvRow RowFromCsvLine(const CsvLine& line, const ColumnMap& map) {
    CsvRow row;
    bool monthFirst = map.layout != nullptr && map.layout->monthFirst;
    for (size_t k = 0; k < line.cells.size() && k < map.columns.size(); ++k) {
        const CsvColumn& column = map.columns[k];
        if (column.role == CsvRole::OwnField) {
            // Beside a layout's columns an empty cell takes nothing from them.
            if (map.layout != nullptr && TrimSpaces(line.cells[k]).empty()) continue;
            ApplyCsvCell(column.detail, line.cells[k], row.record);
            // A text longer than its field, or of several lines, is kept whole beside it.
            if (column.detail != Gender && column.detail != BirthYear && FieldInfo(column.detail).isText &&
                (line.cells[k].size() >= static_cast<size_t>(FieldInfo(column.detail).width) ||
                 line.cells[k].find('\n') != std::string::npos)) {
                SetWholeField(row.record, row.details, static_cast<ContactField>(column.detail), line.cells[k]);
            }
            if (column.detail == GivenName) row.givenName = line.cells[k];
            continue;
        }
        std::string cell = TrimSpaces(line.cells[k]);
        if (cell.empty()) continue;
        if (k < map.itemLabels.size() && !map.itemLabels[k].empty()) {
            AddItemCell(row, column.detail, map.itemLabels[k], cell);
        } else {
            TakeCell(row, column, cell, monthFirst);
        }
    }
    if (map.layout != nullptr) FinishRow(row);
    PlaceNumberedItems(row);
    OrderItems(row.details.items);
    KeepLongGivenName(row);
    return row;
}

// The titles of a header line: trimmed, each on one line (a quoted title
// may hold a line break, which becomes a space); the text after the last
// comma of a line without a line end is no title.
std::vector<std::string> HeaderTitles(CsvLine line) {
    if (!line.ended && !line.cells.empty()) line.cells.pop_back();
    for (std::string& title : line.cells) {
        title.resize(FitGbkLength(title.data(), title.size(), CsvCellBytes));
        title.erase(std::remove(title.begin(), title.end(), '\r'), title.end());
        std::replace(title.begin(), title.end(), '\n', ' ');
        TrimSpacesAndTrailingLineFeeds(title);
    }
    return line.cells;
}

// A whole date, or the year alone when the text is not a date. A cell no
// longer than the year field is the year as it stands, as Corvelle writes it.
void ApplyCsvBirthday(const std::string& text, ContactRecord& record) {
    const size_t yearBytes = sizeof record.BirthYear - 1;
    BirthdayDate date = {};
    CsvDateReading reading = text.size() > yearBytes ? ReadCsvDate(text, false, date) : CsvDateReading::NotADate;
    if (reading == CsvDateReading::Date) {
        SetCsvBirthday(record, date);
    } else if (reading == CsvDateReading::NotADate) {
        SetField(record, BirthYear, text);
    }
}

// A header of one title that holds semicolons: the file is separated by
// semicolons, as spreadsheets in some countries save CSV.
bool IsSemicolonHeader(const std::vector<std::string>& titles) {
    return titles.size() == 1 && titles[0].find(';') != std::string::npos;
}

ColumnMappingChoice Ask(const ColumnMappingQuestion& question, const std::string& title) {
    if (question.ask == nullptr) return ColumnMappingChoice{IgnoreColumn, NoField};
    return question.ask(question.context, title);
}

int MatchFieldTitle(const std::string& title) {
    const auto& titles = CsvFieldTitles();
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (title == titles[f]) return f;
    }
    return NoField;
}

// The fields that can name a contact that has no name (NameImportedContact).
bool IsNamingField(int field) {
    for (ContactField naming : {Surname, GivenName, Company, Nickname, Email, Mobile, HomePhone, WorkPhone}) {
        if (field == naming) return true;
    }
    return false;
}

bool CanNameAContact(const CsvColumn& column) {
    switch (column.role) {
    case CsvRole::OwnField:
    case CsvRole::Field: return IsNamingField(column.detail);
    case CsvRole::MiddleName:
    case CsvRole::DisplayName:
    case CsvRole::SparePhone:
    case CsvRole::PhoneValue:
    case CsvRole::EmailValue: return true;
    default: return false;
    }
}

bool IsNumberField(int field) {
    for (ContactField number : {Mobile, HomePhone, WorkPhone, HomeFax, WorkFax, QQNumber}) {
        if (field == number) return true;
    }
    return false;
}

// The columns whose cells are numbers: phones, faxes and QQ.
std::vector<bool> NumberColumns(const ColumnMap& map) {
    std::vector<bool> numbers;
    for (const CsvColumn& column : map.columns) {
        bool field = column.role == CsvRole::OwnField || column.role == CsvRole::Field;
        numbers.push_back((field && IsNumberField(column.detail)) || column.role == CsvRole::SparePhone ||
                          column.role == CsvRole::SpareFax || column.role == CsvRole::PhoneValue);
    }
    return numbers;
}

bool HoldsText(const CsvLine& line) {
    for (const std::string& cell : line.cells) {
        if (!TrimSpaces(cell).empty()) return true;
    }
    return false;
}

CsvColumn OwnColumn(int field) {
    if (field == NoField) return CsvColumn{CsvRole::Ignored, 0, 0};
    return CsvColumn{CsvRole::OwnField, field, 0};
}

}  // namespace

std::vector<std::string> ParseCsvHeader(const std::string& line) {
    return HeaderTitles(SplitCsvLine(line, CsvMaxColumns));
}

std::string CsvMappingPrompt(const std::string& title) {
    return GbkText(u"请选择一项与文件中的 ") + title + GbkText(u" 表头对应");
}

ColumnMap MapCsvColumns(const std::vector<std::string>& titles, const ColumnMappingQuestion& question) {
    ColumnMap map;
    map.layout = RecogniseCsvLayout(titles);
    std::vector<CsvColumn> layoutColumns;
    std::vector<bool> knownToLayout;
    if (map.layout != nullptr) layoutColumns = LayoutColumns(*map.layout, titles, knownToLayout);
    bool ignoreRest = false;
    for (size_t i = 0; i < titles.size(); ++i) {
        const std::string& title = titles[i];
        // A layout's own titles, those it knowingly leaves out included,
        // go as the layout says, whatever the user answered before.
        if (map.layout != nullptr && knownToLayout[i]) {
            map.columns.push_back(layoutColumns[i]);
            continue;
        }
        // The item columns of Corvelle's own export.
        CsvColumn itemColumn;
        if (MatchOwnItemTitle(title, itemColumn)) {
            map.columns.push_back(itemColumn);
            continue;
        }
        int field = NoField;
        if (!ignoreRest && !title.empty()) {
            field = MatchFieldTitle(title);
            if (field == NoField) {
                ColumnMappingChoice choice = Ask(question, title);
                if (choice.answer == MapToField && choice.field == OtherInformationChoice) {
                    map.itemLabels.resize(titles.size());
                    map.itemLabels[i] = title;
                    map.columns.push_back(CsvColumn{CsvRole::ItemText, static_cast<int>(ItemKind::Custom), 0});
                    continue;
                } else if (choice.answer == MapToField && choice.field >= 0 && choice.field < ContactFieldCount) {
                    field = choice.field;
                } else if (choice.answer == IgnoreRemaining) {
                    ignoreRest = true;
                }
            }
        }
        map.columns.push_back(OwnColumn(field));
        if (field == NoField && !title.empty() && MatchFieldTitle(title) == NoField) map.unknownTitles.push_back(title);
    }
    return map;
}

std::vector<int> MappedFields(const ColumnMap& map) {
    std::vector<int> fields;
    for (const CsvColumn& column : map.columns) fields.push_back(column.role == CsvRole::OwnField ? column.detail : NoField);
    return fields;
}

void ApplyCsvCell(int field, const std::string& text, ContactRecord& record) {
    if (field < 0 || field >= ContactFieldCount) return;
    if (field == Gender) {
        record.Gender = StoredGender(IsCsvFemale(text));
    } else if (field == BirthYear) {
        ApplyCsvBirthday(text, record);
    } else {
        SetField(record, static_cast<ContactField>(field), text);
    }
}

namespace {

int CountLineFeeds(const PathString& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file) return 0;
    std::vector<char> block(1 << 16);
    int count = 0;
    size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
        const char* end = block.data() + got;
        for (const char* at = block.data(); (at = FindByte(at, static_cast<size_t>(end - at), '\n')); ++at) ++count;
    }
    std::fclose(file);
    return count;
}

}  // namespace

CsvImportResult ImportCsvFile(const PathString& path, ContactStore& store, GroupList& groups,
                              const ColumnMappingQuestion& question, const ProgressReport& progress) {
    CsvImportResult result = {};
    int lines = progress ? CountLineFeeds(path) : 0;
    int linesRead = 1;  // the header
    FILE* file = OpenFile(path, "rb");
    if (file == nullptr) return result;
    CsvSource source = OpenCsvSource(file);
    long textStart = std::ftell(file);
    CsvLine line;
    if (ReadCsvLine(source, CsvMaxColumns, line)) {
        result.read = true;
        if (IsSemicolonHeader(HeaderTitles(line))) {
            // Read the header again, split at its semicolons.
            std::fseek(file, textStart, SEEK_SET);
            source = CsvSource{file, source.encoding, ';', {}, 0, 0, EOF};
            ReadCsvLine(source, CsvMaxColumns, line);
        }
        ColumnMap map = MapCsvColumns(HeaderTitles(line), question);
        source.numberColumns = NumberColumns(map);
        result.unknownTitles = map.unknownTitles;
        for (const CsvColumn& column : map.columns) result.namingColumn = result.namingColumn || CanNameAContact(column);
        ImportGroups made;
        while (true) {
            if (progress && !progress(linesRead, std::max(lines, linesRead + 1))) {
                result.cancelled = true;
                break;
            }
            if (!ReadCsvLine(source, map.columns.size(), line)) break;
            ++linesRead;
            if (!HoldsText(line)) continue;
            ++result.rows;
            if (line.cut) ++result.cutRows;
            CsvRow row = RowFromCsvLine(line, map);
            ContactRecord asWritten = row.record;
            if (!NameImportedContact(row.record, row.displayName)) continue;
            if (!HasRoomFor(store, 1)) {
                ++result.notImported;
                continue;
            }
            row.record.GroupIndex = GroupForCategory(groups, row.group, made);
            if (HoldsImportedContact(store, made, row.record, asWritten, !row.group.empty(), &row.details.items)) {
                ++result.duplicates;
                continue;
            }
            DropStaleWholeForms(row.record, row.details);
            AppendContact(store, row.record, row.details);
            ++result.imported;
        }
    }
    std::fclose(file);
    return result;
}

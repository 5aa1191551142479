// The CSV layouts of other programs (Google Contacts, Outlook, Thunderbird,
// Windows Live Mail, QQ同步助手): what each of their column titles holds, so
// that a file from one of them imports without a question.
#pragma once

#include <string>
#include <vector>

// What a column holds.
enum class CsvRole {
    Ignored,       // known, but holds nothing the book keeps
    OwnField,      // Corvelle's own title or the user's choice: ApplyCsvCell, the later cell wins
    Field,         // straight into a field (`detail`); the first cell that holds text wins
    MiddleName,    // joined to the given name of a Chinese name
    DisplayName,   // names a contact that has no family name
    Birthday,      // a whole date in one cell
    Gender,
    Group,         // labels or categories: the first that is no system label
    SparePhone,    // a number for the first free of mobile, home and work phone
    SpareFax,      // a fax for the first free of work and home fax
    HomeAddress,   // one part (`detail`, a CsvAddressPart) of the home address
    WorkAddress,
    OtherAddress,  // placed in the work address when it is free, else in the home address
    PhoneLabel,    // Google's "Phone n - Label": the type of "Phone n - Value"
    PhoneValue,
    EmailLabel,    // "E-mail n - Label": "* " marks the primary address
    EmailValue,
    AddressLabel,  // "Address n - Label": "Home" or anything else (work)
    TypedAddress,  // "Address n - Street" and the other parts
    ItemLabel,     // the label of item n of the kind `detail` (an ItemKind): Google's "Website n - Label"
    ItemValue,     // its value
    ItemService,   // the service of messaging item n
    ItemText,      // one item of the kind `detail` per cell, no label: "Notes", "网页"
};

// The parts of an address that have a place. PO boxes and extended
// addresses are joined to the street.
enum CsvAddressPart { AddressStreet, AddressCity, AddressRegion, AddressPostcode, AddressCountry, AddressFormatted };

// One title of a layout. "#" in a title stands for a number, the n of
// Google's numbered columns ("Phone 2 - Value").
struct CsvTitleRule {
    const char16_t* title;
    CsvRole role;
    int detail;  // a ContactField for Field, a CsvAddressPart for the address roles
};

struct CsvLayout {
    const char* name;
    bool monthFirst;  // dates that end with the year are month/day/year, as English Outlook writes them
    const CsvTitleRule* rules;
    int ruleCount;
};

// Matches a GBK title against a GBK pattern in which "#" stands for a run
// of digits, whose value goes to `number`. ASCII letters match in any case.
bool MatchPattern(const std::string& pattern, const std::string& title, int& number);

// The layouts, in the order ties are decided.
const std::vector<CsvLayout>& CsvLayouts();

// What one column of a file holds.
struct CsvColumn {
    CsvRole role;
    int detail;
    int number;  // the n of a numbered title; 0 otherwise
};

// The column of a GBK title under a layout. A title that the layout holds
// twice (Thunderbird's 城市: home, then work) goes by its `occurrence`,
// counted from 0 among the file's titles equal to it. Letters compare in
// any case; an unknown title is Ignored with `known` false.
CsvColumn MatchLayoutTitle(const CsvLayout& layout, const std::string& title, int occurrence, bool& known);

// The layout the titles come from, or null for Corvelle's own titles and
// for files of no known layout. A layout is taken when it knows more of
// the titles than Corvelle's own 27 do, at least three that are none of
// Corvelle's own, and at least half of the titles that are not empty:
// every program adds and drops columns between versions, and Google writes
// a numbered group only when it holds data.
const CsvLayout* RecogniseCsvLayout(const std::vector<std::string>& titles);

// The columns of the titles under a layout, and which of the titles the
// layout knows (an unknown title's column is Ignored).
std::vector<CsvColumn> LayoutColumns(const CsvLayout& layout, const std::vector<std::string>& titles,
                                     std::vector<bool>& known);

// The field a phone label of Google's names ("Mobile", "Work Fax", "* Home"
// for the primary one, any case), or -1 for any other label.
int PhoneFieldForLabel(const std::string& label);
// True for an address label that names the home ("Home", "* Home").
bool IsHomeLabel(const std::string& label);
// True for a label or category that only marks a contact for its program
// ("* myContacts", "starred"): it names no group.
bool IsSystemLabel(const std::string& label);

// The lines of a vCard file as a reader needs them: logical lines with
// their folds and quoted-printable soft line breaks joined, and each
// line split into its property name, parameters and value.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Reads the logical lines of an open file, or of text in memory, in blocks.
struct VcardLineReader {
    FILE* file;
    const std::string* memory;  // read instead of the file when set
    size_t memoryNext;
    unsigned char block[65536];
    size_t next;
    size_t end;
    std::string pending;  // a physical line read ahead
    bool hasPending;
    std::deque<std::string> lookahead;  // physical lines a preview has read
};

void StartLineReader(VcardLineReader& reader, FILE* file);
// Reads the text instead of a file; it must outlive the reader.
void StartMemoryLineReader(VcardLineReader& reader, const std::string& text);

// What a card says about itself before its lines are read.
struct VcardPreview {
    std::string version;    // the value of its VERSION line, wherever it stands; empty without one
    bool utf8Text = false;  // its lines are valid UTF-8 and hold bytes of 0x80 and above
};

// Looks at the physical lines up to the card's VERSION line, or without
// one up to its END:VCARD (or a nested BEGIN:VCARD, or a bound on what is
// held), without consuming them; call it just after the BEGIN:VCARD line.
// Most cards put VERSION first, so the preview costs one line.
VcardPreview PreviewCard(VcardLineReader& reader, size_t limit);

// The next logical line, without its line end, cut at `limit` bytes:
// - a line that starts with a space or a tab continues the one before;
//   the fold's white space is dropped when `dropFoldSpace` (vCard 3.0
//   and 4.0) and kept otherwise (2.1);
// - a quoted-printable value that ends in "=" continues on the next line;
// - a 2.1 value that ends in a backslash continues on a next line that
//   holds no ":", as a line break.
// A line that is a whole BEGIN:VCARD or END:VCARD is never joined to
// another. False at the end of the file.
bool ReadLogicalLine(VcardLineReader& reader, std::string& line, bool dropFoldSpace, size_t limit);

// True when the line, with white space around it, is `word` in any case,
// with or without a group's name before it ("home.begin:vcard").
bool IsWholeLine(const std::string& line, std::string_view word);

// The types of a property that choose a contact's field.
enum VcardType : unsigned {
    TypeCell = 1,
    TypeFax = 2,
    TypeWork = 4,
    TypeHome = 8,
    TypePref = 16,
    TypePager = 32,
    TypeOther = 64,
};

// One property line taken apart.
struct VcardProperty {
    std::string name;         // upper case, without a group prefix ("item1.")
    std::string group;        // that prefix, lower case, without its "."; empty when none
    std::string typeLabel;    // a TYPE value that names no known type ("Emergency"), as written
    std::string serviceType;  // X-SERVICE-TYPE, as written
    unsigned types = 0;       // VcardType bits: TYPE values and bare parameters, in any case
    std::string charset;      // as written; empty when none is named
    bool quotedPrintable = false;
    bool binary = false;      // base64 data, such as a photo
    bool omitYear = false;    // X-APPLE-OMIT-YEAR: a birthday whose year nobody gave
    bool qqService = false;   // X-SERVICE-TYPE=QQ or TYPE=QQ, an instant-messaging address of QQ
    std::string_view value;   // everything after the first ":" outside quotes, in the line
};

// False for a line without ":". The value stays a view into the line,
// without the white space around the line.
bool SplitPropertyLine(std::string_view line, VcardProperty& property);

inline bool HasType(const VcardProperty& property, VcardType type) { return (property.types & type) != 0; }

// Splits a raw value at each ";" that no backslash escapes. Backslash
// escapes stay for the text conversion to undo. When `pairedBytes`, a
// byte of 0x81 and above takes the next byte with it, so that the second
// byte of a GBK, Big5 or Shift_JIS character is never taken for "" or
// ";". At most `count` components; the last takes the whole rest.
std::vector<std::string_view> SplitComponents(std::string_view value, size_t count, bool pairedBytes);
// The same into parts, whose room is kept for the next value.
void SplitComponentsInto(std::string_view value, size_t count, bool pairedBytes, std::vector<std::string_view>& parts);

// Exporting contacts to a CSV file that the reader takes back without a
// question: the 27 titles, then one line of 27 cells per contact.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"
#include "store/contact_store.h"

// The cell buffer of the writer: room for the widest field, so that every
// field, the e-mail address too, is written whole.
const size_t CsvExportCellCapacity = sizeof(ContactRecord::Email);

// The CSV text of one field: "女"/"男" for Gender, the stored text for the
// others (the birthday as three separate cells). Cut to capacity - 1 bytes
// at a whole character; the line holds it as CsvQuotedCell gives it.
std::string CsvCellText(ContactField field, const ContactRecord& record,
                        size_t capacity = CsvExportCellCapacity);

// The two kinds of file the export writes: the book's own text (GB 18030,
// which is GBK for every GBK character), or UTF-8 after a byte-order mark,
// which spreadsheets read whole.
enum class CsvFileEncoding { Gb18030, Utf8WithBom };

// Writes the header and every contact, or only the ticked ones (CheckFlag
// 1), in store order whatever the list shows; lines end with CR LF. True
// when the whole file reached the disk; on false the file that was there
// is untouched.
bool ExportCsvFile(const PathString& path, const ContactStore& store, bool onlyTicked,
                   CsvFileEncoding encoding = CsvFileEncoding::Gb18030);

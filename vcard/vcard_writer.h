// Writing one contact as a vCard 2.1 file: GBK text, CR LF line ends, no
// line end after the last line. The name, company and title are written
// in the chosen encoding; everything else as raw GBK.
#pragma once

#include <string>

#include "platform/platform.h"
#include "store/contact_record.h"
#include "vcard/text_encodings.h"

// The whole file for one record.
std::string VcardFileText(const ContactRecord& record, VcardEncoding encoding);

// What WriteVcardFile reports.
const int VcardWritten = 1;
const int VcardNotWritten = 0;  // the file could not be created or written
const int VcardNoRecord = 2;

// Writes the record to path, replacing a file of that name only once the
// new one is complete on disk.
int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding);

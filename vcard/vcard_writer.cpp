#include "vcard/vcard_writer.h"

#include "store/fixed_text.h"
#include "store/safe_file.h"
#include "vcard/vcard_format.h"

namespace {

const char LineEnd[] = "\r\n";

// A field's text as it goes into a line. A line feed or carriage return
// would start a line of its own (even "END:VCARD"), so each becomes a space.
std::string LineText(const ContactRecord& record, ContactField field) {
    std::string text = FieldValue(record, field);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

// A value in the chosen encoding; at most 255 bytes of it are encoded.
std::string EncodedValue(const std::string& text, VcardEncoding encoding) {
    VcardText buffer;
    CopyToField(buffer, VcardTextCapacity, text);
    EncodeVcardValue(buffer, encoding);
    return buffer;
}

void AddLine(std::string& out, const std::string& line) { out += line + LineEnd; }

std::string AddressValue(const ContactRecord& record, const AddressFields& address) {
    std::string value = ";;";  // no post-office box, no extended address
    for (int i = 0; i < AddressFieldCount; ++i) {
        if (i > 0) value += ';';
        value += LineText(record, address.fields[i]);
    }
    return value;
}

}  // namespace

std::string VcardFileText(const ContactRecord& r, VcardEncoding encoding) {
    const std::string parameters = VcardEncodingParameters(encoding);
    std::string out;
    AddLine(out, VcardBegin);
    AddLine(out, "VERSION:2.1");
    AddLine(out, "N" + parameters + ":" + EncodedValue(LineText(r, Surname) + ";" + LineText(r, GivenName), encoding));
    AddLine(out, r.Gender == 1 ? "X-WAB-GENDER:1" : "X-WAB-GENDER:2");
    AddLine(out, "ORG" + parameters + ":" +
                     EncodedValue(LineText(r, Company) + ";" + LineText(r, Department), encoding));
    AddLine(out, "TITLE" + parameters + ":" + EncodedValue(LineText(r, JobTitle), encoding));
    AddLine(out, "TEL;WORK:" + LineText(r, WorkPhone));
    AddLine(out, "TEL;HOME:" + LineText(r, HomePhone));
    AddLine(out, "TEL;WORK;FAX:" + LineText(r, WorkFax));
    AddLine(out, "TEL;HOME;FAX:" + LineText(r, HomeFax));
    AddLine(out, "TEL;CELL:" + LineText(r, Mobile));
    AddLine(out, "ADR;WORK:" + AddressValue(r, WorkAddress));
    AddLine(out, "ADR;HOME:" + AddressValue(r, HomeAddress));
    AddLine(out, "EMAIL;PREF;INTERNET:" + LineText(r, Email));
    AddLine(out, "X-QQ:" + LineText(r, QQNumber));
    AddLine(out, "BDAY:" + LineText(r, BirthYear) + "-" + LineText(r, BirthMonth) + "-" + LineText(r, BirthDay));
    out += VcardEnd;
    return out;
}

int WriteVcardFile(const PathString& path, const ContactRecord* record, VcardEncoding encoding) {
    if (!record) return VcardNoRecord;
    return WriteFileReplacing(path, VcardFileText(*record, encoding)) ? VcardWritten : VcardNotWritten;
}
